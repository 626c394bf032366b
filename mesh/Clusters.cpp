#include "Clusters.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace {

// Union-find in which a set's root is its least member.
class Sets {
 public:
  explicit Sets(size_t count) : parent_(count) { std::iota(parent_.begin(), parent_.end(), 0u); }

  uint32_t find(uint32_t p) {
    while (parent_[p] != p) {
      parent_[p] = parent_[parent_[p]];
      p = parent_[p];
    }
    return p;
  }

  void unite(uint32_t a, uint32_t b) {
    a = find(a);
    b = find(b);
    if (a != b) parent_[std::max(a, b)] = std::min(a, b);
  }

 private:
  std::vector<uint32_t> parent_;
};

bool near(const SurfaceBox& a, const SurfaceBox& b, double margin) {
  for (int i = 0; i < 3; ++i) {
    if (a.low[i] > b.high[i] + margin || b.low[i] > a.high[i] + margin) return false;
  }
  return true;
}

// A surface's box in a cell of a grid.
struct CellUse {
  uint64_t cell;
  uint32_t surface;
  bool operator<(const CellUse& o) const {
    return cell != o.cell ? cell < o.cell : surface < o.surface;
  }
};

}  // namespace

Surfaces surfacesOf(const Mesh& mesh) {
  Sets sets(mesh.positions.size());
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const uint32_t* v = mesh.face(f);
    for (uint32_t i = 1; i < mesh.faceSize(f); ++i) sets.unite(v[0], v[i]);
  }
  Surfaces s;
  s.of.resize(mesh.positions.size());
  for (size_t p = 0; p < mesh.positions.size(); ++p) {
    const uint32_t root = sets.find(static_cast<uint32_t>(p));
    const Position& at = mesh.positions[p];
    const double c[3] = {at.x, at.y, at.z};
    if (root == p) {
      s.of[p] = static_cast<uint32_t>(s.boxes.size());
      s.boxes.push_back(SurfaceBox{{c[0], c[1], c[2]}, {c[0], c[1], c[2]}});
      s.positions.push_back(1);
    } else {
      s.of[p] = s.of[root];  // the root, the least of its surface, came first
      SurfaceBox& box = s.boxes[s.of[p]];
      for (int i = 0; i < 3; ++i) {
        box.low[i] = std::min(box.low[i], c[i]);
        box.high[i] = std::max(box.high[i], c[i]);
      }
      ++s.positions[s.of[p]];
    }
  }
  return s;
}

// Boxes within the margin of each other share a cell of a grid once each is grown by the margin:
// the boxes of each cell are compared, and a box that spans many cells is compared with all.
std::vector<uint32_t> clustersOf(const std::vector<SurfaceBox>& boxes, double margin) {
  const size_t count = boxes.size();
  if (count == 0) return {};
  size_t budget = 8 * count + 100000;  // comparisons, about the cost of welding every surface
  // Cells as large as a typical box (the median of their largest sides), so that each box lies
  // in a few and so do its neighbours.
  std::vector<double> sides(count);
  double low[3] = {boxes[0].low[0], boxes[0].low[1], boxes[0].low[2]};
  for (size_t s = 0; s < count; ++s) {
    const SurfaceBox& b = boxes[s];
    sides[s] = std::max({b.high[0] - b.low[0], b.high[1] - b.low[1], b.high[2] - b.low[2]});
    for (int i = 0; i < 3; ++i) low[i] = std::min(low[i], b.low[i]);
  }
  std::nth_element(sides.begin(), sides.begin() + std::ptrdiff_t(count / 2), sides.end());
  const double cell = std::max(sides[count / 2], margin) + 2 * margin;

  std::vector<CellUse> uses;
  std::vector<uint32_t> large;  // boxes of more than 64 cells
  for (size_t s = 0; s < count; ++s) {
    int64_t from[3], to[3];
    int64_t cells = 1;
    for (int i = 0; i < 3; ++i) {
      from[i] = static_cast<int64_t>(std::floor((boxes[s].low[i] - margin - low[i]) / cell));
      to[i] = static_cast<int64_t>(std::floor((boxes[s].high[i] + margin - low[i]) / cell));
      cells *= to[i] - from[i] + 1;
    }
    if (cells > 64) {
      large.push_back(static_cast<uint32_t>(s));
      continue;
    }
    auto bits = [](int64_t v) { return static_cast<uint64_t>(v + 1) & 0x1FFFFF; };
    for (int64_t x = from[0]; x <= to[0]; ++x) {
      for (int64_t y = from[1]; y <= to[1]; ++y) {
        for (int64_t z = from[2]; z <= to[2]; ++z) {
          uses.push_back({bits(x) << 42 | bits(y) << 21 | bits(z), static_cast<uint32_t>(s)});
        }
      }
    }
    if (uses.size() > 16 * count + 100000) return {};
  }
  if (large.size() * count > budget) return {};
  budget -= large.size() * count;
  std::sort(uses.begin(), uses.end());
  // The comparisons the cells ask for, before any is made.
  std::vector<std::pair<size_t, size_t>> runs;
  for (size_t i = 0; i < uses.size();) {
    size_t j = i + 1;
    while (j < uses.size() && uses[j].cell == uses[i].cell) ++j;
    const size_t pairs = (j - i) * (j - i - 1) / 2;
    if (pairs > budget) return {};
    budget -= pairs;
    if (j - i > 1) runs.emplace_back(i, j);
    i = j;
  }
  Sets sets(count);
  for (const auto& [first, last] : runs) {
    for (size_t i = first; i < last; ++i) {
      for (size_t j = i + 1; j < last; ++j) {
        const uint32_t a = uses[i].surface, b = uses[j].surface;
        if (sets.find(a) != sets.find(b) && near(boxes[a], boxes[b], margin)) sets.unite(a, b);
      }
    }
  }
  for (uint32_t l : large) {
    for (size_t s = 0; s < count; ++s) {
      if (sets.find(l) != sets.find(uint32_t(s)) && near(boxes[l], boxes[s], margin)) {
        sets.unite(l, static_cast<uint32_t>(s));
      }
    }
  }
  std::vector<uint32_t> cluster(count);
  for (size_t s = 0; s < count; ++s) cluster[s] = sets.find(static_cast<uint32_t>(s));
  return cluster;
}
