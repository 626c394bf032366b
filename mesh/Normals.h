#pragma once

#include <cstdint>
#include <vector>

#include "Mesh.h"

// Normals and areas of polygons and triangles, in double.

struct Normal {
  double x = 0, y = 0, z = 0;
};

// The polygon's Newell normal: its vector area, doubled; zero for a polygon without area.
Normal newellNormal(const std::vector<Position>& positions, const uint32_t* vertices, size_t count);

// The unit normal of the triangle (a, b, c) by the right-hand rule; zero where it has no area.
Normal triangleNormal(const Position& a, const Position& b, const Position& c);

// The length of a vector.
double length(const Normal& n);
