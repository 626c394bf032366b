#include "Normals.h"

Vec3 newellNormal(const std::vector<Position>& positions, const uint32_t* vertices, size_t count) {
  return newellNormal(count, [&](size_t i) { return toVec3(positions[vertices[i]]); });
}

bool hasArea(const std::vector<Position>& positions, const uint32_t* vertices, size_t count) {
  return !polygonNormal(count, [&](size_t i) { return toVec3(positions[vertices[i]]); }).isZero();
}

Vec3 triangleNormal(const Position& a, const Position& b, const Position& c) {
  return unit(cross(toVec3(b) - toVec3(a), toVec3(c) - toVec3(a)));
}
