#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Mesh.h"
#include "Parts.h"

// Triangles sorted into groups, for the formats that write a group at a time; within a group
// the triangles keep their order.
struct TriangleGroups {
  std::vector<uint32_t> order;  // triangle indices, group after group
  std::vector<size_t> start;    // group g is order[start[g]] to order[start[g + 1] - 1]

  size_t count() const { return start.size() - 1; }
  size_t size(size_t g) const { return start[g + 1] - start[g]; }
  const uint32_t* begin(size_t g) const { return order.data() + start[g]; }
  const uint32_t* end(size_t g) const { return order.data() + start[g + 1]; }
};

// By colour: group 0 holds the triangles without colour, group c + 1 those of colour c.
TriangleGroups groupByColour(const Mesh& mesh, const Triangles& triangles);
// By solid: group p holds the triangles of part p and of its hollows (a hollow's own group is
// empty), and one group after them those of faces in no part (there are none where the
// triangles are of faces with area).
TriangleGroups groupByPart(const Parts& parts, const Triangles& triangles);
