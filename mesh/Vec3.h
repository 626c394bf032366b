#pragma once

#include <cmath>

#include "Mesh.h"

// The vector of mesh arithmetic: normals, edges, directions, in double. Meshes store positions
// as floats (Mesh.h); every computation on them widens to a Vec3 first, so that dot, cross and
// unit are written once, here. A plain aggregate, unlike geometry's Vector (whose
// virtual destructor makes it larger and not trivially copyable), so that arrays of them are as
// small as their coordinates.
struct Vec3 {
  double x = 0, y = 0, z = 0;

  Vec3& operator+=(const Vec3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
  }
  bool isZero() const { return x == 0 && y == 0 && z == 0; }
};

inline Vec3 toVec3(const Position& p) { return {p.x, p.y, p.z}; }
inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(const Vec3& a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(double s, const Vec3& a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(const Vec3& a, const Vec3& b) { return (a.x * b.x + a.y * b.y) + a.z * b.z; }
// Right-handed: cross({1, 0, 0}, {0, 1, 0}) is {0, 0, 1}.
inline Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Vec3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
// The vector over its length; zero where the length is zero or not finite.
inline Vec3 unit(const Vec3& a) {
  const double l = length(a);
  if (l == 0 || !std::isfinite(l)) return {};
  return {a.x / l, a.y / l, a.z / l};
}
