#pragma once

#include <cstdint>
#include <vector>

// Improves the triangulation of one polygon in its plane: while two triangles that share a
// diagonal make a convex quadrilateral whose other diagonal is the better one (the fourth corner
// lies clearly inside the circle through the other three), the diagonal is flipped. Up to
// points within a hair of such a circle, the result is the polygon's constrained Delaunay
// triangulation, which has no sliver where the polygon leaves room for better triangles: ear
// clipping alone cuts off three almost collinear vertices in a row as a triangle of almost no
// area, whose normal a reader working in single precision gets wrong from its corners.
//
// The triangles are indices into `points`, counter-clockwise; `isSide(a, b)` says which pairs
// of points are sides of the polygon, never flipped. Triangles that do not turn
// counter-clockwise, and diagonals that more than two triangles use, are left as they are.
class DelaunayFlips {
 public:
  struct Point {
    double x, y;
  };
  template <class IsSide>
  void improve(const std::vector<Point>& points, std::vector<uint32_t>* triangles, IsSide isSide) {
    pair(*triangles, static_cast<uint32_t>(points.size()));
    for (uint32_t h = 0; h < twin_.size(); ++h) {
      if (twin_[h] != none && isSide((*triangles)[h], (*triangles)[next(h)])) {
        twin_[twin_[h]] = none;
        twin_[h] = none;
      }
    }
    flip(points, triangles);
  }

 private:
  static constexpr uint32_t none = UINT32_MAX;
  static uint32_t next(uint32_t h) { return h % 3 == 2 ? h - 2 : h + 1; }
  static uint32_t prev(uint32_t h) { return h % 3 == 0 ? h + 2 : h - 1; }
  void pair(const std::vector<uint32_t>& triangles, uint32_t points);
  void flip(const std::vector<Point>& points, std::vector<uint32_t>* triangles);
  void link(uint32_t h, uint32_t g) {
    twin_[h] = g;
    if (g != none) twin_[g] = h;
  }

  std::vector<uint32_t> start_, fill_, from_;  // the sides of the triangles by their first point
  std::vector<uint32_t> twin_;  // per side of a triangle: the same side of its neighbour
  std::vector<uint32_t> stack_;
};
