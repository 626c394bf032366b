#pragma once

#include "Vector.h"

// A location in three-dimensional space. Points and vectors do not mix freely: a point plus or
// minus a vector is a point, the difference of two points is a vector, and weighted sums of
// points go through affine(), average() and midpoint(). Equality is exact IEEE comparison.
class Point {
 public:
  Point() : x(0), y(0), z(0) {}
  Point(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
  Point(const Point&) = default;
  Point& operator=(const Point&) = default;
  virtual ~Point() = default;

  Point& operator+=(const Vector& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
  }
  Point& operator-=(const Vector& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
  }

  double x;
  double y;
  double z;
};

static const Point PointZero(0, 0, 0);

inline int operator==(const Point& p, const Point& q) {
  return p.x == q.x && p.y == q.y && p.z == q.z;
}
inline int operator!=(const Point& p, const Point& q) { return !(p == q); }
inline Point operator+(const Point& p, const Vector& v) {
  return Point(p.x + v.x, p.y + v.y, p.z + v.z);
}
inline Point operator+(const Vector& v, const Point& p) { return p + v; }
inline Point operator-(const Point& p, const Vector& v) {
  return Point(p.x - v.x, p.y - v.y, p.z - v.z);
}
// The vector from q to p.
inline Vector operator-(const Point& p, const Point& q) {
  return Vector(p.x - q.x, p.y - q.y, p.z - q.z);
}
inline Point operator-(const Point& p) { return Point(-p.x, -p.y, -p.z); }

// p + (q − p)·t per coordinate; t is not clamped.
inline Point affine(const Point& p, const Point& q, double t) {
  return Point(p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, p.z + (q.z - p.z) * t);
}
// (a·p + b·q) + c·r per coordinate; the weights are used as given.
inline Point affine(const Point& p, const Point& q, const Point& r, double a, double b, double c) {
  return Point((a * p.x + b * q.x) + c * r.x, (a * p.y + b * q.y) + c * r.y,
               (a * p.z + b * q.z) + c * r.z);
}
inline Point midpoint(const Point& p, const Point& q) { return affine(p, q, 0.5); }
// The mean of pts[0 .. n−1], each point scaled by 1/n before it is added; (0, 0, 0) for n ≤ 0.
Point average(const Point* pts, int n);

// "( x, y, z )" with the stream's settings; no line end.
std::ostream& operator<<(std::ostream& out, const Point& p);
