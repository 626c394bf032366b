#include "Normals.h"

#include <cmath>

Normal newellNormal(const std::vector<Position>& positions, const uint32_t* vertices,
                    size_t count) {
  Normal n;
  for (size_t i = 0; i < count; ++i) {
    const Position& a = positions[vertices[i]];
    const Position& b = positions[vertices[i + 1 == count ? 0 : i + 1]];
    const double ax = a.x, ay = a.y, az = a.z, bx = b.x, by = b.y, bz = b.z;
    n.x += (ay - by) * (az + bz);
    n.y += (az - bz) * (ax + bx);
    n.z += (ax - bx) * (ay + by);
  }
  return n;
}

Normal triangleNormal(const Position& a, const Position& b, const Position& c) {
  const double ux = double{b.x} - a.x, uy = double{b.y} - a.y, uz = double{b.z} - a.z;
  const double vx = double{c.x} - a.x, vy = double{c.y} - a.y, vz = double{c.z} - a.z;
  Normal n{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
  const double l = length(n);
  if (l == 0 || !std::isfinite(l)) return Normal{};
  return Normal{n.x / l, n.y / l, n.z / l};
}

double length(const Normal& n) { return std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z); }
