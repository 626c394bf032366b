#include "Area.h"

Vector newellNormal(const std::vector<Point>& g) {
  Vector n;
  for (size_t i = 0; i < g.size(); ++i) {
    const Point& a = g[i];
    const Point& b = g[(i + 1) % g.size()];
    n += Vector((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y));
  }
  return n;
}

Vector polygonNormal(const std::vector<Point>& g) {
  if (g.size() < 3) return VZero;
  const Vector corner = cross(g[0] - g[1], g[1] - g[2]);
  const Vector newell = newellNormal(g);
  if (corner == VZero) return newell;
  return dot(corner, newell) < 0 ? -corner : corner;
}
