#include "Point.h"

#include <ostream>

Point average(const Point* pts, int n) {
  Point mean;
  if (n <= 0) return mean;
  const double w = 1.0 / n;
  for (int i = 0; i < n; ++i) {
    mean.x += w * pts[i].x;
    mean.y += w * pts[i].y;
    mean.z += w * pts[i].z;
  }
  return mean;
}

std::ostream& operator<<(std::ostream& out, const Point& p) {
  return out << "( " << p.x << ", " << p.y << ", " << p.z << " )";
}
