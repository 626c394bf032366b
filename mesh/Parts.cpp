#include "Parts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

#include "Hollows.h"
#include "Normals.h"
#include "Vec3.h"

namespace {

// One use of an edge by a face: the edge's two vertices, smaller first, and whether the face
// walks it from the smaller to the larger.
struct EdgeUse {
  uint64_t key;
  uint32_t face;
  bool forward;
  // By edge, then face and direction, so that the order, and so the pairing, is the same on
  // every machine.
  bool operator<(const EdgeUse& other) const {
    if (key != other.key) return key < other.key;
    if (face != other.face) return face < other.face;
    return forward < other.forward;
  }
};

// Sets of faces with, for each face, whether it walks its edges the other way round from the
// set's first face (union-find with parity).
class FaceSets {
 public:
  explicit FaceSets(size_t faces) : parent_(faces), flipped_(faces, 0), broken_(faces, 0) {
    std::iota(parent_.begin(), parent_.end(), uint32_t{0});
  }

  // The set's representative; *flipped: whether f is turned relative to it.
  uint32_t find(uint32_t f, bool* flipped) {
    bool parity = false;
    uint32_t root = f;
    while (parent_[root] != root) {
      parity ^= flipped_[root] != 0;
      root = parent_[root];
    }
    // Point the path straight at the root, keeping each face's parity.
    bool rest = parity;
    while (parent_[f] != root) {
      const uint32_t next = parent_[f];
      const bool own = flipped_[f] != 0;
      parent_[f] = root;
      flipped_[f] = rest;
      rest ^= own;
      f = next;
    }
    *flipped = parity;
    return root;
  }

  // f and g share an edge; `opposite`: one must be turned relative to the other.
  void join(uint32_t f, uint32_t g, bool opposite) {
    bool pf, pg;
    const uint32_t rf = find(f, &pf), rg = find(g, &pg);
    if (rf == rg) {
      if ((pf ^ pg) != opposite) broken_[rf] = 1;  // cannot be oriented
      return;
    }
    parent_[rg] = rf;
    flipped_[rg] = pf ^ pg ^ opposite;
    broken_[rf] |= broken_[rg];
  }

  void breakSet(uint32_t f) {
    bool unused;
    broken_[find(f, &unused)] = 1;
  }
  bool broken(uint32_t root) const { return broken_[root] != 0; }

 private:
  std::vector<uint32_t> parent_;
  std::vector<uint8_t> flipped_;
  std::vector<uint8_t> broken_;
};

// The uses of one edge, uses[first] to uses[last - 1], that are not yet paired.
class EdgeUses {
 public:
  EdgeUses(const Mesh& mesh, std::vector<EdgeUse>& uses, std::vector<uint8_t>& paired,
           FaceSets& sets)
      : mesh_(mesh), uses_(uses), paired_(paired), sets_(sets) {}

  // Pairs the uses of faces that already belong to one surface, where that surface has exactly
  // two unpaired uses of the edge: the solid's own two faces at an edge it shares with others.
  void pairWithinSurfaces(size_t first, size_t last) {
    rooted_.clear();
    for (size_t k = first; k < last; ++k) {
      if (paired_[k] != 0) continue;
      bool flipped;
      rooted_.push_back({sets_.find(uses_[k].face, &flipped), k});
    }
    std::sort(rooted_.begin(), rooted_.end());
    for (size_t i = 0; i < rooted_.size();) {
      size_t j = i + 1;
      while (j < rooted_.size() && rooted_[j].first == rooted_[i].first) ++j;
      if (j - i == 2) pair(rooted_[i].second, rooted_[i + 1].second);
      i = j;
    }
  }

  // Pairs the rest in their order around the edge: each face's side of the edge, seen along
  // the edge, sorted by angle. Of the two ways to pair neighbours, the one that pairs fewer
  // faces lying on each other (copies of one face) is taken. Returns the uses left alone.
  size_t pairAround(size_t first, size_t last) {
    angles_.clear();
    const EdgeUse& any = uses_[first];
    const Vec3 a = toVec3(mesh_.positions[uint32_t(any.key >> 32)]);
    const Vec3 b = toVec3(mesh_.positions[uint32_t(any.key & 0xFFFFFFFF)]);
    const Vec3 e = unit(b - a);
    const Vec3 u = unit(std::fabs(e.x) < 0.9 ? cross(e, Vec3{1, 0, 0}) : cross(e, Vec3{0, 1, 0}));
    const Vec3 v = cross(e, u);
    for (size_t k = first; k < last; ++k) {
      if (paired_[k] != 0) continue;
      const uint32_t f = uses_[k].face;
      const Vec3 n = newellNormal(mesh_.positions, mesh_.face(f), mesh_.faceSize(f));
      const Vec3 inward = cross(n, uses_[k].forward ? e : -e);  // into the face, in its plane
      // Whether the face's normal points the way the angle grows.
      const bool up = dot(n, cross(e, inward)) > 0;
      angles_.push_back({std::atan2(dot(inward, v), dot(inward, u)), up, f, k});
    }
    cluster();
    const size_t n = angles_.size();
    // Copies of faces lie at one angle: where every angle has as many, the copies are paired
    // in their order with those of the neighbouring angle, so that each copy stays whole.
    size_t run = 1;
    while (run < n && angles_[run].cluster == angles_[0].cluster) ++run;
    bool copies = run > 1 && n % (2 * run) == 0;
    for (size_t i = 0; copies && i < n; ++i) {
      const bool inRun = angles_[i].cluster == angles_[i - i % run].cluster;
      const bool newRun = i % run != 0 || i == 0 || angles_[i].cluster != angles_[i - 1].cluster;
      copies = inRun && newRun;
    }
    if (copies) {
      for (size_t i = 0; i < n; i += 2 * run) {
        for (size_t k = 0; k < run; ++k) pair(angles_[i + k].second, angles_[i + run + k].second);
      }
      return 0;
    }
    size_t offset = 0;
    if (n % 2 == 0 && n > 2) {
      size_t same[2] = {0, 0};
      for (size_t s = 0; s < 2; ++s) {
        for (size_t i = s; i < n + s; i += 2) {
          same[s] += angles_[i % n].cluster == angles_[(i + 1) % n].cluster;
        }
      }
      offset = same[1] < same[0] ? 1 : 0;
    }
    for (size_t i = offset; i + 1 < n + offset; i += 2) {
      pair(angles_[i % n].second, angles_[(i + 1) % n].second);
    }
    return n % 2;
  }

 private:
  // Sorts the faces by angle, angles that rounding alone tells apart (faces on each other whose
  // normals were summed in another order) as one; the angle just below pi is the one of just
  // above -pi.
  void cluster() {
    constexpr double near = 1e-7;
    std::sort(angles_.begin(), angles_.end(),
              [](const Around& a, const Around& b) { return a.first < b.first; });
    while (angles_.size() > 1 && angles_.back().first - 2 * M_PI > angles_.front().first - near) {
      Around last = angles_.back();
      angles_.pop_back();
      last.first -= 2 * M_PI;
      angles_.insert(angles_.begin(), last);
    }
    int c = 0;
    for (size_t i = 0; i < angles_.size(); ++i) {
      if (i > 0 && angles_[i].first - angles_[i - 1].first > near) ++c;
      angles_[i].cluster = c;
    }
    std::sort(angles_.begin(), angles_.end());
  }

  void pair(size_t k, size_t l) {
    paired_[k] = paired_[l] = 1;
    sets_.join(uses_[k].face, uses_[l].face, uses_[k].forward == uses_[l].forward);
  }

  const Mesh& mesh_;
  std::vector<EdgeUse>& uses_;
  std::vector<uint8_t>& paired_;
  FaceSets& sets_;
  std::vector<std::pair<uint32_t, size_t>> rooted_;
  // Faces that lie on each other (at one angle) are ordered so that those whose normal points
  // back come first: each pairs with the neighbour on its side, whichever edge of it this is.
  struct Around {
    double first;  // the angle
    bool up;
    uint32_t face;
    size_t second;    // the use
    int cluster = 0;  // faces at one angle, up to rounding, have one cluster
    bool operator<(const Around& o) const {
      if (cluster != o.cluster) return cluster < o.cluster;
      if (up != o.up) return !up;
      return face < o.face;
    }
  };
  std::vector<Around> angles_;
};

// Every use of an edge by a face with area, in order (EdgeUse::operator<); faces[f] says whether
// face f takes part. The uses are laid out by their edge's smaller vertex (a counting sort), then
// each vertex's few are sorted.
std::vector<EdgeUse> edgeUses(const Mesh& mesh, std::vector<uint8_t>* faces) {
  faces->assign(mesh.faceCount(), 0);
  std::vector<uint32_t> start(mesh.positions.size() + 1, 0);  // uses of each smaller vertex
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const uint32_t* v = mesh.face(f);
    const uint32_t n = mesh.faceSize(f);
    if (n < 3 || !hasArea(mesh.positions, v, n)) continue;
    (*faces)[f] = 1;
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t a = v[i], b = v[i + 1 == n ? 0 : i + 1];
      if (a != b) ++start[std::min(a, b) + 1];
    }
  }
  for (size_t p = 1; p < start.size(); ++p) start[p] += start[p - 1];
  std::vector<EdgeUse> uses(start.back());
  std::vector<uint32_t> next(start.begin(), start.end() - 1);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    if ((*faces)[f] == 0) continue;
    const uint32_t* v = mesh.face(f);
    const uint32_t n = mesh.faceSize(f);
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t a = v[i], b = v[i + 1 == n ? 0 : i + 1];
      if (a == b) continue;
      const uint64_t key = a < b ? uint64_t{a} << 32 | b : uint64_t{b} << 32 | a;
      uses[next[std::min(a, b)]++] = {key, static_cast<uint32_t>(f), a < b};
    }
  }
  for (size_t p = 0; p + 1 < start.size(); ++p) {
    if (start[p + 1] - start[p] > 1)
      std::sort(uses.begin() + start[p], uses.begin() + start[p + 1]);
  }
  return uses;
}

// Joins the faces across their edges; marks in `open` the faces with an edge left alone.
void joinAcrossEdges(const Mesh& mesh, std::vector<EdgeUse>& uses, FaceSets& sets,
                     std::vector<uint8_t>& open, Parts& parts) {
  std::vector<uint8_t> paired(uses.size(), 0);
  std::vector<std::pair<size_t, size_t>> touching;
  for (size_t i = 0; i < uses.size();) {
    size_t j = i + 1;
    while (j < uses.size() && uses[j].key == uses[i].key) ++j;
    if (j - i == 1) {
      ++parts.openEdges;
      open[uses[i].face] = 1;
    } else if (j - i == 2) {
      sets.join(uses[i].face, uses[i + 1].face, uses[i].forward == uses[i + 1].forward);
    } else {
      ++parts.touchingEdges;
      touching.emplace_back(i, j);
    }
    i = j;
  }
  EdgeUses edges(mesh, uses, paired, sets);
  // Twice: pairs made at one touching edge join surfaces that another one needs.
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& [first, last] : touching) edges.pairWithinSurfaces(first, last);
  }
  for (const auto& [first, last] : touching) {
    if (edges.pairAround(first, last) == 0) continue;
    ++parts.openEdges;
    for (size_t k = first; k < last; ++k) {
      if (paired[k] == 0) open[uses[k].face] = 1;
    }
  }
}

// Per set: the signed volume of its faces as they are oriented relative to the set's first face,
// from fans about the set's centroid, and the sum of the fans' sizes, to tell a flat surface.
struct SetVolumes {
  std::vector<double> volume, size;
};

SetVolumes volumes(const Mesh& mesh, const std::vector<uint8_t>& faces,
                   const std::vector<uint32_t>& root, const std::vector<uint8_t>& turned) {
  const size_t count = mesh.faceCount();
  std::vector<Vec3> centre(count);
  std::vector<double> corners(count, 0);
  for (size_t f = 0; f < count; ++f) {
    if (faces[f] == 0) continue;
    for (uint32_t i = 0; i < mesh.faceSize(f); ++i) {
      centre[root[f]] += toVec3(mesh.positions[mesh.face(f)[i]]);
    }
    corners[root[f]] += mesh.faceSize(f);
  }
  SetVolumes sets{std::vector<double>(count, 0), std::vector<double>(count, 0)};
  for (size_t f = 0; f < count; ++f) {
    if (faces[f] == 0) continue;
    const Vec3 o = (1 / corners[root[f]]) * centre[root[f]];
    const uint32_t* v = mesh.face(f);
    auto at = [&](uint32_t i) { return toVec3(mesh.positions[v[i]]) - o; };
    double sum = 0, size = 0;
    for (uint32_t i = 1; i + 1 < mesh.faceSize(f); ++i) {
      const double term = dot(at(0), cross(at(i), at(i + 1)));
      sum += term;
      size += std::fabs(term);
    }
    sets.volume[root[f]] += turned[f] != 0 ? -sum / 6 : sum / 6;
    sets.size[root[f]] += size / 6;
  }
  return sets;
}

}  // namespace

Parts findParts(const Mesh& mesh) {
  const size_t count = mesh.faceCount();
  Parts parts;
  parts.part.assign(count, Parts::noPart);
  parts.reversed.assign(count, false);
  std::vector<uint8_t> faces;
  std::vector<EdgeUse> uses = edgeUses(mesh, &faces);
  FaceSets sets(count);
  std::vector<uint8_t> open(count, 0);
  joinAcrossEdges(mesh, uses, sets, open, parts);

  std::vector<uint32_t> root(count);
  std::vector<uint8_t> turned(count, 0), setOpen(count, 0);
  for (size_t f = 0; f < count; ++f) {
    bool flipped;
    root[f] = sets.find(static_cast<uint32_t>(f), &flipped);
    turned[f] = flipped;
    if (faces[f] != 0 && open[f] != 0) setOpen[root[f]] = 1;
  }
  const SetVolumes set = volumes(mesh, faces, root, turned);
  std::vector<uint32_t> number(count, Parts::noPart);
  std::vector<bool> solid;
  for (size_t f = 0; f < count; ++f) {
    if (faces[f] == 0) continue;
    const uint32_t r = root[f];
    // A flat surface, whose volume is rounding noise, and one that cannot be oriented keep
    // their winding.
    const bool flat = std::fabs(set.volume[r]) <= 1e-9 * set.size[r];
    if (number[r] == Parts::noPart) {
      number[r] = static_cast<uint32_t>(parts.parts.size());
      Parts::Part p;
      p.closed = setOpen[r] == 0 && !sets.broken(r);
      p.volume = p.closed ? std::fabs(set.volume[r]) : 0;
      parts.parts.push_back(p);
      solid.push_back(p.closed && !flat);
    }
    parts.part[f] = number[r];
    parts.reversed[f] = !sets.broken(r) && !flat && (turned[f] != 0) != (set.volume[r] < 0);
  }
  const std::vector<uint32_t> shell = hollowsOf(mesh, parts, solid);
  for (size_t p = 0; p < parts.parts.size(); ++p) {
    if (shell[p] == Parts::noPart) continue;
    parts.parts[p].shell = shell[p];
    parts.parts[p].volume = -parts.parts[p].volume;
  }
  for (size_t f = 0; f < count; ++f) {
    if (faces[f] == 0) continue;
    if (parts.parts[parts.part[f]].shell != Parts::noPart) parts.reversed[f] = !parts.reversed[f];
    parts.inwardFaces += parts.reversed[f];
  }
  parts.closed = !parts.parts.empty();
  for (const Parts::Part& p : parts.parts) {
    parts.closed = parts.closed && p.closed;
    parts.volume += p.volume;
  }
  return parts;
}
