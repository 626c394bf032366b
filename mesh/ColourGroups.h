#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Mesh.h"

// Triangles sorted by colour, for the formats that give a colour per group of triangles: group 0
// holds the triangles without colour, group c + 1 those of colour c; within a group the
// triangles keep their order.
struct ColourGroups {
  std::vector<uint32_t> order;  // triangle indices, group after group
  std::vector<size_t> start;    // group g is order[start[g]] to order[start[g + 1] - 1]

  size_t count() const { return start.size() - 1; }
  size_t size(size_t g) const { return start[g + 1] - start[g]; }
};

ColourGroups groupByColour(const Mesh& mesh, const Triangles& triangles);
