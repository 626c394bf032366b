#pragma once

#include <iosfwd>

// A displacement, direction or axis in three-dimensional space. A plain value: every operation
// computes in double, coordinate by coordinate, in the order written here, so results are
// bit-for-bit reproducible. Equality is exact IEEE comparison, with no tolerance.
class Vector {
 public:
  Vector() : x(0), y(0), z(0) {}
  Vector(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
  Vector(const Vector&) = default;
  Vector& operator=(const Vector&) = default;
  virtual ~Vector() = default;

  Vector& operator+=(const Vector& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
  }
  Vector& operator-=(const Vector& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
  }
  Vector& operator*=(const double& s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  Vector& operator/=(const double& s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
  }

  // sqrt((x·x + y·y) + z·z), unscaled.
  double length() const;
  // Divides each coordinate by the length; the zero vector becomes three NaN.
  void normalize();

  double x;
  double y;
  double z;
};

static const Vector VZero(0, 0, 0);
static const Vector VX(1, 0, 0);
static const Vector VY(0, 1, 0);
static const Vector VZ(0, 0, 1);

inline int operator==(const Vector& u, const Vector& v) {
  return u.x == v.x && u.y == v.y && u.z == v.z;
}
inline int operator!=(const Vector& u, const Vector& v) { return !(u == v); }
inline Vector operator+(const Vector& u, const Vector& v) {
  return Vector(u.x + v.x, u.y + v.y, u.z + v.z);
}
inline Vector operator-(const Vector& u, const Vector& v) {
  return Vector(u.x - v.x, u.y - v.y, u.z - v.z);
}
inline Vector operator-(const Vector& v) { return Vector(-v.x, -v.y, -v.z); }
inline Vector operator*(const double& s, const Vector& v) {
  return Vector(s * v.x, s * v.y, s * v.z);
}
inline Vector operator*(const Vector& v, const double& s) { return s * v; }
// Divides by s (not a multiplication by 1/s).
inline Vector operator/(const Vector& v, const double& s) {
  return Vector(v.x / s, v.y / s, v.z / s);
}
inline double dot(const Vector& u, const Vector& v) { return (u.x * v.x + u.y * v.y) + u.z * v.z; }
// The right-handed vector product: cross(VX, VY) == VZ.
inline Vector cross(const Vector& u, const Vector& v) {
  return Vector(u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x);
}

// "< x, y, z >" with the stream's settings; no line end.
std::ostream& operator<<(std::ostream& out, const Vector& v);
