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
// The triangles in `count` groups, group(t) for triangle t.
template <class GroupOf>
TriangleGroups groupTriangles(const Triangles& triangles, size_t count, GroupOf groupOf) {
  TriangleGroups groups;
  groups.start.assign(count + 1, 0);
  for (size_t t = 0; t < triangles.count(); ++t) ++groups.start[groupOf(t) + 1];
  for (size_t g = 0; g < count; ++g) groups.start[g + 1] += groups.start[g];
  groups.order.resize(triangles.count());
  std::vector<size_t> next(groups.start.begin(), groups.start.end() - 1);
  for (size_t t = 0; t < triangles.count(); ++t) {
    groups.order[next[groupOf(t)]++] = static_cast<uint32_t>(t);
  }
  return groups;
}

// By solid as groupByPart, and within each solid by colour: group s * kinds + c, where c is
// colourKind(the colour of the triangle's face), from 0 to kinds - 1.
template <class ColourKind>
TriangleGroups groupByPartAndColour(const Mesh& mesh, const Parts& parts,
                                    const Triangles& triangles, size_t kinds,
                                    ColourKind colourKind) {
  const size_t count = parts.parts.size();
  return groupTriangles(triangles, (count + 1) * kinds, [&](size_t t) {
    const uint32_t f = triangles.face[t];
    const uint32_t p = parts.part[f];
    const size_t solid = p == Parts::noPart ? count : size_t{parts.solidOf(p)};
    return solid * kinds + colourKind(mesh.faceColour[f]);
  });
}
