#include "Weld.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "Bounds.h"
#include "Normals.h"
#include "Parallel.h"

namespace {

// The positions kept so far in a grid of cubic cells, each cell a chain of them.
class Grid {
 public:
  Grid(const Bounds& bounds, double distance, size_t expected)
      : low_{bounds.low.x, bounds.low.y, bounds.low.z},
        distance_(distance),
        side_(std::max({double{bounds.high.x} - bounds.low.x, double{bounds.high.y} - bounds.low.y,
                        double{bounds.high.z} - bounds.low.z})) {
    // Cells four times the distance, so that a position is near one side of its cell at most
    // along each axis, and near none along an axis half the time (about three cells to look at
    // rather than eight), while positions kept, each at least the distance from the others, are
    // few in a cell; at most 2^20 cells to a side, so that their numbers stay small.
    cell_ = std::max(4 * distance, side_ / double(1 << 20));
    size_t size = 1024;
    while (size < 2 * expected) size *= 2;
    slots_.assign(size, Slot{});
  }

  // Whether the kept positions crowd the cells: many looked at for each position.
  bool crowded(size_t looks) const { return looked_ > 16 * looks; }

  // Cells twice the distance, for positions that crowd larger ones: eight cells to look at for
  // each position, but an eighth as many kept positions in each. `kept` are added anew.
  void refine(const std::vector<Position>& kept) {
    const double cell = std::max(2 * distance_, side_ / double(1 << 20));
    if (!(cell < cell_)) return;
    cell_ = cell;
    std::fill(slots_.begin(), slots_.end(), Slot{});
    next_.clear();
    used_ = 0;
    for (size_t k = 0; k < kept.size(); ++k) add(static_cast<uint32_t>(k), kept[k]);
  }

  // The cells to look in for p: its own, then those whose side p lies closer to than the
  // distance. Returns how many (1 to 8).
  int cellsOf(const Position& p, uint64_t* keys) const {
    const double c[3] = {p.x, p.y, p.z};
    int64_t at[3];
    int step[3];  // the neighbour to look at along each axis: -1, 0 (none) or 1
    for (int i = 0; i < 3; ++i) {
      const double u = (c[i] - low_[i]) / cell_;
      at[i] = static_cast<int64_t>(std::floor(u));
      const double within = u - static_cast<double>(at[i]);
      step[i] = within * cell_ < distance_ ? -1 : (1 - within) * cell_ <= distance_ ? 1 : 0;
    }
    int count = 0;
    for (int dx = 0; dx <= (step[0] != 0); ++dx) {
      for (int dy = 0; dy <= (step[1] != 0); ++dy) {
        for (int dz = 0; dz <= (step[2] != 0); ++dz) {
          keys[count++] = keyOf(at[0] + dx * step[0], at[1] + dy * step[1], at[2] + dz * step[2]);
        }
      }
    }
    return count;
  }

  // Asks for the memory that near(p) will read, so that it arrives while other positions are
  // worked on: the grid is far larger than the caches.
  void prefetch(const Position& p) const {
    uint64_t keys[8];
    const int count = cellsOf(p, keys);
    for (int i = 0; i < count; ++i) __builtin_prefetch(&slots_[firstSlot(keys[i])]);
  }

  // The first kept position closer than the distance to p, or `empty`.
  uint32_t near(const std::vector<Position>& kept, const Position& p) const {
    uint64_t keys[8];
    const int count = cellsOf(p, keys);
    const double limit = distance_ * distance_;
    uint32_t first = empty;
    for (int i = 0; i < count; ++i) {
      for (uint32_t k = head(keys[i]); k != empty; k = next_[k], ++looked_) {
        const double ex = double{kept[k].x} - p.x, ey = double{kept[k].y} - p.y,
                     ez = double{kept[k].z} - p.z;
        if (k < first && ex * ex + ey * ey + ez * ez < limit) first = k;
      }
    }
    return first;
  }

  // Adds kept position k, at p.
  void add(uint32_t k, const Position& p) {
    const double c[3] = {p.x, p.y, p.z};
    int64_t at[3];
    for (int i = 0; i < 3; ++i) at[i] = static_cast<int64_t>(std::floor((c[i] - low_[i]) / cell_));
    const uint64_t key = keyOf(at[0], at[1], at[2]);
    Slot& slot = slots_[slotOf(key)];
    if (slot.head == empty) {
      slot.key = key;
      ++used_;
    }
    next_.push_back(slot.head);
    slot.head = k;
    if (2 * used_ > slots_.size()) grow();
  }

  static constexpr uint32_t empty = UINT32_MAX;

 private:
  static uint64_t keyOf(int64_t x, int64_t y, int64_t z) {
    // 21 bits each, the cells of one side counted from -1 to 2^20.
    auto bits = [](int64_t v) { return static_cast<uint64_t>(v + 1) & 0x1FFFFF; };
    return bits(x) << 42 | bits(y) << 21 | bits(z);
  }
  size_t firstSlot(uint64_t key) const {
    uint64_t h = key;  // the finaliser of splitmix64: every bit of the key moves every bit
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ULL;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBULL;
    h ^= h >> 31;
    return static_cast<size_t>(h) & (slots_.size() - 1);
  }
  size_t slotOf(uint64_t key) const {
    size_t slot = firstSlot(key);
    while (slots_[slot].head != empty && slots_[slot].key != key) {
      slot = (slot + 1) & (slots_.size() - 1);
    }
    return slot;
  }
  uint32_t head(uint64_t key) const { return slots_[slotOf(key)].head; }
  void grow() {
    std::vector<Slot> slots(slots_.size() * 2, Slot{});
    slots.swap(slots_);
    for (const Slot& s : slots) {
      if (s.head != empty) slots_[slotOf(s.key)] = s;
    }
  }

  // A cell and its chain side by side, so that a look-up misses the cache once.
  struct Slot {
    uint64_t key = 0;
    uint32_t head = empty;  // the last position added to the cell
  };

  double low_[3];
  double distance_;
  double side_;  // of the bounds' cube
  double cell_ = 1;
  mutable size_t looked_ = 0;  // kept positions looked at by near()
  std::vector<Slot> slots_;
  std::vector<uint32_t> next_;  // per kept position: the one added to its cell before it
  size_t used_ = 0;
};

// The weld of `count` positions, the n-th of them positions[at(n)], in that order: each is kept
// (appended to `kept`) or joins the first kept one closer than the distance; joins(n, k) is told
// the kept position k, counted in `kept`, that the n-th is or joins.
template <class At, class Joins>
void weldInOrder(const std::vector<Position>& positions, size_t count, At at, double distance,
                 const Bounds& bounds, std::vector<Position>* kept, Joins joins) {
  Grid grid(bounds, distance, count);
  constexpr size_t ahead = 8;
  constexpr size_t probe = size_t{1} << 16;  // positions welded before the grid is looked at
  for (size_t n = 0; n < count; ++n) {
    if (n == probe && grid.crowded(probe)) grid.refine(*kept);
    if (n + ahead < count) grid.prefetch(positions[at(n + ahead)]);
    const Position& p = positions[at(n)];
    uint32_t k = grid.near(*kept, p);
    if (k == Grid::empty) {
      k = static_cast<uint32_t>(kept->size());
      kept->push_back(p);
      grid.add(k, p);
    }
    joins(n, k);
  }
}

// Each position's new index: the kept position it joins.
std::vector<uint32_t> joinedInOrder(const Mesh& mesh, double distance, const Bounds& bounds,
                                    std::vector<Position>* kept) {
  std::vector<uint32_t> to(mesh.positions.size());
  weldInOrder(
      mesh.positions, mesh.positions.size(), [](size_t n) { return n; }, distance, bounds, kept,
      [&to](size_t n, uint32_t k) { to[n] = k; });
  return to;
}

// The same weld of the positions that `order` lists (in their order), alone: each one's
// representative, the index of the position it joins, or its own where it is kept.
void representatives(const std::vector<Position>& positions, const std::vector<uint32_t>& order,
                     double distance, const Bounds& bounds, std::vector<uint32_t>* rep) {
  std::vector<Position> kept;
  std::vector<uint32_t> keptAt;  // the index of each kept position
  weldInOrder(
      positions, order.size(), [&order](size_t n) { return order[n]; }, distance, bounds, &kept,
      [&](size_t n, uint32_t k) {
        if (k == keptAt.size()) keptAt.push_back(order[n]);
        (*rep)[order[n]] = keptAt[k];
      });
}

// Whether a position of `from` finds one of `to` closer than the distance.
bool findsNear(const std::vector<Position>& positions, const std::vector<uint32_t>& from,
               const std::vector<uint32_t>& to, double distance, const Bounds& bounds) {
  Grid grid(bounds, distance, to.size());
  std::vector<Position> added;
  for (uint32_t i : to) {
    grid.add(static_cast<uint32_t>(added.size()), positions[i]);
    added.push_back(positions[i]);
  }
  for (uint32_t i : from) {
    if (grid.near(added, positions[i]) != Grid::empty) return true;
  }
  return false;
}

// Whether a position of `low` and one of `high` lie closer than the distance, looked for both
// ways, as the weld would look from whichever of the two comes later.
bool anyNear(const std::vector<Position>& positions, const std::vector<uint32_t>& low,
             const std::vector<uint32_t>& high, double distance, const Bounds& bounds) {
  return findsNear(positions, low, high, distance, bounds) ||
         findsNear(positions, high, low, distance, bounds);
}

// From this many positions the weld is split at a plane x = split into the positions below it
// and those above, welded at once on two threads.
constexpr size_t inHalvesFrom = size_t{1} << 20;

// The weld in two halves, where no position of one half lies closer than the distance to one of
// the other: then no position's welding depends on the other half's (a position joins only one
// closer than the distance, and is kept only where none such is kept), and each half welded
// alone, in the order of the positions, is the whole weld. None where positions are that close
// across the plane.
std::optional<std::vector<uint32_t>> joinedInHalves(const Mesh& mesh, double distance,
                                                    const Bounds& bounds,
                                                    std::vector<Position>* kept) {
  const std::vector<Position>& positions = mesh.positions;
  // The plane through the middle of a sample of the positions.
  std::vector<float> sample;
  const size_t step = positions.size() / 4096 + 1;
  for (size_t i = 0; i < positions.size(); i += step) sample.push_back(positions[i].x);
  std::nth_element(sample.begin(), sample.begin() + long(sample.size() / 2), sample.end());
  const double split = sample[sample.size() / 2];
  std::vector<uint32_t> below, above, belowNear, aboveNear;
  below.reserve(positions.size() / 2 + positions.size() / 8);
  above.reserve(positions.size() / 2 + positions.size() / 8);
  for (size_t i = 0; i < positions.size(); ++i) {
    const double x = positions[i].x;
    const uint32_t index = static_cast<uint32_t>(i);
    if (x < split) {
      below.push_back(index);
      if (split - x < distance) belowNear.push_back(index);
    } else {
      above.push_back(index);
      if (x - split < distance) aboveNear.push_back(index);
    }
  }
  // A plane that many positions crowd is not worth the look for pairs across it.
  const bool crowded = (belowNear.size() + aboveNear.size()) * 16 > positions.size();
  if (below.empty() || above.empty() || crowded ||
      anyNear(positions, belowNear, aboveNear, distance, bounds)) {
    return std::nullopt;
  }
  std::vector<uint32_t> rep(positions.size());
  inParallel([&]() { representatives(positions, below, distance, bounds, &rep); },
             [&]() { representatives(positions, above, distance, bounds, &rep); });
  // The kept positions numbered in their order; each other joins the one it names, before it.
  std::vector<uint32_t> to(positions.size());
  for (size_t i = 0; i < positions.size(); ++i) {
    if (rep[i] == i) {
      to[i] = static_cast<uint32_t>(kept->size());
      kept->push_back(positions[i]);
    } else {
      to[i] = to[rep[i]];
    }
  }
  return to;
}

std::vector<uint32_t> joined(const Mesh& mesh, double distance, const Bounds& bounds,
                             std::vector<Position>* kept) {
  if (mesh.positions.size() >= inHalvesFrom) {
    if (auto to = joinedInHalves(mesh, distance, bounds, kept)) return *std::move(to);
  }
  return joinedInOrder(mesh, distance, bounds, kept);
}

}  // namespace

double defaultWeldDistance(const Mesh& mesh) {
  const Bounds b = boundsOf(mesh);
  const double side = std::max(
      {double{b.high.x} - b.low.x, double{b.high.y} - b.low.y, double{b.high.z} - b.low.z});
  return side * 1e-5;
}

std::vector<uint32_t> weldedVertices(const Mesh& mesh, double distance) {
  return weldedVertices(mesh, distance, boundsOf(mesh));
}

std::vector<uint32_t> weldedVertices(const Mesh& mesh, double distance, const Bounds& grid) {
  std::vector<uint32_t> to;
  if (!(distance > 0) || mesh.positions.empty()) {
    to.resize(mesh.positions.size());
    for (size_t i = 0; i < to.size(); ++i) to[i] = static_cast<uint32_t>(i);
    return to;
  }
  std::vector<Position> kept;
  return joined(mesh, distance, grid, &kept);
}

size_t weld(Mesh& mesh, double distance) {
  if (!(distance > 0) || mesh.positions.empty()) return 0;
  std::vector<Position> kept;
  const std::vector<uint32_t> to = joined(mesh, distance, boundsOf(mesh), &kept);
  // The faces anew, with the kept positions renumbered in the order the faces use them.
  std::vector<uint32_t> number(kept.size(), UINT32_MAX);
  std::vector<Position> positions;
  Mesh out;
  out.colours = mesh.colours;
  std::vector<uint32_t> face;
  size_t leftOut = 0;
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    face.clear();
    const uint32_t* v = mesh.face(f);
    const uint32_t n = mesh.faceSize(f);
    bool moved = false;  // a vertex joined another: the face's area is to be looked at
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t k = to[v[i]];
      moved = moved || std::memcmp(&kept[k], &mesh.positions[v[i]], sizeof(Position)) != 0;
      if (face.empty() || face.back() != k) face.push_back(k);
    }
    while (face.size() > 1 && face.back() == face.front()) face.pop_back();
    if (moved && n >= 3 && hasArea(mesh.positions, v, n) &&
        !hasArea(kept, face.data(), face.size())) {
      ++leftOut;
      continue;
    }
    for (uint32_t& k : face) {
      if (number[k] == UINT32_MAX) {
        number[k] = static_cast<uint32_t>(positions.size());
        positions.push_back(kept[k]);
      }
      k = number[k];
    }
    out.addFace(face.data(), face.size(), mesh.faceColour[f]);
  }
  out.positions = std::move(positions);
  mesh = std::move(out);
  return leftOut;
}
