#pragma once

#include "Point.h"

// A point in homogeneous coordinates: (x, y, z, w) stands for (x/w, y/w, z/w). The coordinates
// are stored as given and never normalised; equality compares the projected coordinates.
class ProjPoint {
 public:
  ProjPoint() : x(0), y(0), z(0), w(1) {}
  ProjPoint(double x_, double y_, double z_, double w_) : x(x_), y(y_), z(z_), w(w_) {}
  ProjPoint(const Point& p) : x(p.x), y(p.y), z(p.z), w(1) {}
  ProjPoint(const ProjPoint&) = default;
  ProjPoint& operator=(const ProjPoint&) = default;
  ProjPoint& operator=(const Point& p) {
    x = p.x;
    y = p.y;
    z = p.z;
    w = 1;
    return *this;
  }
  virtual ~ProjPoint() = default;

  // (x/w, y/w, z/w). A weight equal to 0 (−0 included) is a fatal error: exit status 200.
  Point project() const;

  double x;
  double y;
  double z;
  double w;
};

static const ProjPoint ProjPointZero(0, 0, 0, 1);

// 1 when both project to the same point: x/w, then y/w, then z/w compared exactly.
inline int operator==(const ProjPoint& p, const ProjPoint& q) {
  return p.x / p.w == q.x / q.w && p.y / p.w == q.y / q.w && p.z / p.w == q.z / q.w;
}
inline int operator!=(const ProjPoint& p, const ProjPoint& q) { return !(p == q); }
inline ProjPoint operator-(const ProjPoint& p) { return ProjPoint(-p.x, -p.y, -p.z, -p.w); }
// Combinations over all four coordinates, the weight included.
inline ProjPoint affine(const ProjPoint& p, const ProjPoint& q, double t) {
  return ProjPoint(p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, p.z + (q.z - p.z) * t,
                   p.w + (q.w - p.w) * t);
}
inline ProjPoint affine(const ProjPoint& p, const ProjPoint& q, const ProjPoint& r, double a,
                        double b, double c) {
  return ProjPoint((a * p.x + b * q.x) + c * r.x, (a * p.y + b * q.y) + c * r.y,
                   (a * p.z + b * q.z) + c * r.z, (a * p.w + b * q.w) + c * r.w);
}

// "( x, y, z, w )" with the stream's settings; no line end.
std::ostream& operator<<(std::ostream& out, const ProjPoint& p);
