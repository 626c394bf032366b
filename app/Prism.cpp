#include "Prism.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <tuple>

#include "ModelText.h"

namespace {

// Whether two of the points are equal: only then can an edge of a polygon of three vertices or
// more run back along another (a bridge, or a spike whose tip is its own).
bool anyRepeated(const std::vector<Position>& g) {
  auto equal = [](const Position& a, const Position& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
  };
  if (g.size() < 64) {
    for (size_t i = 0; i < g.size(); ++i) {
      for (size_t j = i + 1; j < g.size(); ++j) {
        if (equal(g[i], g[j])) return true;
      }
    }
    return false;
  }
  size_t size = 1024;
  while (size < 2 * g.size()) size *= 2;
  std::vector<uint32_t> slots(size, UINT32_MAX);
  auto bits = [](float v) {
    v += 0.0f;  // -0 as 0, which it equals
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
  };
  for (size_t i = 0; i < g.size(); ++i) {
    uint64_t h = bits(g[i].x) * 0x9E3779B97F4A7C15ULL;
    h = (h ^ bits(g[i].y) ^ (h >> 29)) * 0xBF58476D1CE4E5B9ULL;
    h = (h ^ bits(g[i].z) ^ (h >> 32)) * 0x94D049BB133111EBULL;
    h ^= h >> 31;
    for (size_t s = h & (size - 1);; s = (s + 1) & (size - 1)) {
      if (slots[s] == UINT32_MAX) {
        slots[s] = static_cast<uint32_t>(i);
        break;
      }
      if (equal(g[slots[s]], g[i])) return true;
    }
  }
  return false;
}

}  // namespace

void markBridges(const std::vector<Position>& g, std::vector<bool>* bridge) {
  const size_t n = g.size();
  bridge->assign(n, false);
  if (n >= 3 && n < UINT32_MAX && !anyRepeated(g)) return;
  struct Edge {
    double ax, ay, az, bx, by, bz;
    size_t index;
    bool operator<(const Edge& o) const {
      return std::tie(ax, ay, az, bx, by, bz) < std::tie(o.ax, o.ay, o.az, o.bx, o.by, o.bz);
    }
  };
  std::vector<Edge> edges(n);
  for (size_t i = 0; i < n; ++i) {
    const Position& a = g[i];
    const Position& b = g[i + 1 < n ? i + 1 : 0];
    edges[i] = {a.x, a.y, a.z, b.x, b.y, b.z, i};
  }
  std::sort(edges.begin(), edges.end());
  for (const Edge& e : edges) {
    const Edge back{e.bx, e.by, e.bz, e.ax, e.ay, e.az, 0};
    const auto found = std::lower_bound(edges.begin(), edges.end(), back);
    if (found != edges.end() && !(back < *found)) (*bridge)[e.index] = true;
  }
}

void PrismRecords::make(const Prism& prism, size_t first, size_t last) {
  first_ = first;
  count_ = last - first;
  text_.clear();
  ends_.clear();
  for (size_t i = first; i < last; ++i) {
    const Position& p = prism.base[i];
    appendRecord(text_, p.x, p.y, p.z, prism.w[i]);
    ends_.push_back(static_cast<uint32_t>(text_.size()));
  }
  for (size_t i = first; i < last; ++i) {
    const Point p = prism.topPoint(i);
    appendRecord(text_, p.x, p.y, p.z, prism.w[i]);
    ends_.push_back(static_cast<uint32_t>(text_.size()));
  }
}

const PrismRecords& SlicedPrisms::Shared::records(size_t i) {
  Block& block = blocks_[i / blockSize];
  std::call_once(block.made, [&] {
    const size_t first = i / blockSize * blockSize;
    block.records.make(prism_, first, std::min(first + blockSize, prism_.size()));
  });
  return block.records;
}

std::shared_ptr<SlicedPrisms::Shared> SlicedPrisms::take(size_t index, size_t slices) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [object, shared] : prisms_) {
    if (object == index) return shared;
  }
  prisms_.emplace_back(index, std::make_shared<Shared>(slices));
  return prisms_.back().second;
}

void SlicedPrisms::done(size_t index) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (auto at = prisms_.begin(); at != prisms_.end(); ++at) {
    if (at->first == index && --at->second->slicesLeft_ == 0) {
      prisms_.erase(at);
      return;
    }
  }
}
