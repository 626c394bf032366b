#include "Shells.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "Vec3.h"

namespace {

// One use of an edge by a face: the edge's two vertices, smaller first, and whether the face
// walks it from the smaller to the larger.
struct EdgeUse {
  uint64_t key;
  uint32_t face;
  bool forward;
  bool operator<(const EdgeUse& other) const { return key < other.key; }
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

}  // namespace

Shells findShells(const Mesh& mesh) {
  const size_t faces = mesh.faceCount();
  Shells shells;
  shells.reversed.assign(faces, false);
  std::vector<EdgeUse> uses;
  uses.reserve(mesh.corners.size());
  for (size_t f = 0; f < faces; ++f) {
    const uint32_t* v = mesh.face(f);
    const uint32_t n = mesh.faceSize(f);
    if (n < 3) continue;  // a point or a line is no part of a surface
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t a = v[i], b = v[i + 1 == n ? 0 : i + 1];
      if (a == b) continue;
      const uint64_t key = a < b ? uint64_t{a} << 32 | b : uint64_t{b} << 32 | a;
      uses.push_back({key, static_cast<uint32_t>(f), a < b});
    }
  }
  std::sort(uses.begin(), uses.end());

  FaceSets sets(faces);
  for (size_t i = 0; i < uses.size();) {
    size_t j = i + 1;
    while (j < uses.size() && uses[j].key == uses[i].key) ++j;
    if (j - i == 2) {
      sets.join(uses[i].face, uses[i + 1].face, uses[i].forward == uses[i + 1].forward);
    } else {
      ++shells.openEdges;
      for (size_t k = i; k < j; ++k) {
        if (k > i) sets.join(uses[i].face, uses[k].face, false);
        sets.breakSet(uses[k].face);
      }
    }
    i = j;
  }

  // The signed volume of each closed set as its faces are oriented relative to the set's first
  // face, from fans about each face's first vertex, measured from a point of the mesh so that
  // far-off models lose no precision.
  const Position origin = mesh.positions.empty() ? Position{0, 0, 0} : mesh.positions[0];
  std::vector<double> volume(faces, 0);
  std::vector<uint8_t> turned(faces, 0);
  std::vector<uint32_t> root(faces);
  for (size_t f = 0; f < faces; ++f) {
    bool flipped;
    root[f] = sets.find(static_cast<uint32_t>(f), &flipped);
    turned[f] = flipped;
    if (sets.broken(root[f])) continue;
    const uint32_t* v = mesh.face(f);
    const uint32_t n = mesh.faceSize(f);
    auto at = [&](uint32_t i) {
      const Position& p = mesh.positions[v[i]];
      return Vec3{double{p.x} - origin.x, double{p.y} - origin.y, double{p.z} - origin.z};
    };
    double sum = 0;
    for (uint32_t i = 1; i + 1 < n; ++i) {
      const Vec3 a = at(0), b = at(i), c = at(i + 1);
      sum += a.x * (b.y * c.z - b.z * c.y) + a.y * (b.z * c.x - b.x * c.z) +
             a.z * (b.x * c.y - b.y * c.x);
    }
    volume[root[f]] += flipped ? -sum / 6 : sum / 6;
  }
  shells.closed = faces > 0 && shells.openEdges == 0 && !uses.empty();
  for (size_t f = 0; f < faces; ++f) {
    if (sets.broken(root[f])) {
      shells.closed = false;
      continue;
    }
    shells.reversed[f] = (turned[f] != 0) != (volume[root[f]] < 0);
    if (root[f] == f) shells.volume += std::abs(volume[f]);
  }
  return shells;
}
