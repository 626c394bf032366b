#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Mesh.h"
#include "Vec3.h"

// Normals and areas of polygons and triangles, in double. `at(i)` gives a polygon's i-th vertex
// as a Vec3, so that model records and mesh faces share one rule.

// The Newell normal: the polygon's vector area, doubled; zero for a polygon without area.
template <class At>
Vec3 newellNormal(size_t count, At at) {
  Vec3 n;
  for (size_t i = 0; i < count; ++i) {
    const Vec3 a = at(i), b = at(i + 1 == count ? 0 : i + 1);
    n += Vec3{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
  }
  return n;
}

// The normal of the first corner, (g1 − g2) × (g2 − g3), turned round where it points against
// the Newell normal (a reflex first corner); the Newell normal where the first corner is
// degenerate. Zero for a polygon without area: fewer than three vertices, or all on one line.
// This is the one rule of "has area": extrude refuses, and info counts in no-area, the polygons
// whose normal is zero.
template <class At>
Vec3 polygonNormal(size_t count, At at) {
  if (count < 3) return {};
  const Vec3 corner = cross(at(0) - at(1), at(1) - at(2));
  const Vec3 newell = newellNormal(count, at);
  if (corner.isZero()) return newell;
  return dot(corner, newell) < 0 ? -corner : corner;
}

// The same for a face of a mesh, its vertices indices into `positions`.
Vec3 newellNormal(const std::vector<Position>& positions, const uint32_t* vertices, size_t count);
bool hasArea(const std::vector<Position>& positions, const uint32_t* vertices, size_t count);

// The unit normal of the triangle (a, b, c) by the right-hand rule; zero where it has no area.
Vec3 triangleNormal(const Position& a, const Position& b, const Position& c);
