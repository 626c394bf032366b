#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Bounds.h"
#include "Mesh.h"
#include "Vec3.h"

// How many times a closed surface winds round a point, as it faces: 1 inside an outward solid,
// 0 outside. Counted along the ray up from the point: each face above it adds the winding of its
// outline, seen from above, round the point (+1 for a face turned up, -1 for one turned down).
// The faces are looked up in a grid over the surface's box, by where they lie seen from above.
//
// Each edge is taken from its smaller vertex to its larger for every test, whichever face walks
// it, so that the two faces of an edge always agree on which side of it the point lies: the count
// is whole whatever the rounding; a point seen from above on an edge or a vertex is taken as if
// moved off it by a hair, the same way for every face. A point on the surface has no clear
// winding: nullopt.
class Winding {
 public:
  // The faces `faces` of `mesh`, each turned round where `reversed` says so.
  Winding(const Mesh& mesh, std::vector<uint32_t> faces, const std::vector<bool>& reversed,
          const Bounds& box);
  std::optional<int> about(const Vec3& p) const;

 private:
  std::optional<int> ofFace(uint32_t face, const Vec3& p) const;
  size_t cellOf(double x, double y) const;

  const Mesh& mesh_;
  const std::vector<bool>& reversed_;
  std::vector<uint32_t> faces_;
  Bounds box_;
  size_t side_ = 1;                                  // cells along x and along y
  double cellX_ = 0, cellY_ = 0;                     // their size
  std::vector<size_t> start_;                        // per cell, into inCell_
  std::vector<uint32_t> inCell_;                     // faces, cell after cell
  std::vector<double> lowX_, highX_, lowY_, highY_;  // per face, seen from above
};
