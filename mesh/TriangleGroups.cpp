#include "TriangleGroups.h"

TriangleGroups groupByColour(const Mesh& mesh, const Triangles& triangles) {
  return groupTriangles(triangles, mesh.colours.size() + 1,
                        [&](size_t t) { return size_t(mesh.faceColour[triangles.face[t]] + 1); });
}

TriangleGroups groupByPart(const Parts& parts, const Triangles& triangles) {
  const size_t count = parts.parts.size();
  return groupTriangles(triangles, count + 1, [&](size_t t) {
    const uint32_t p = parts.part[triangles.face[t]];
    return p == Parts::noPart ? count : size_t{parts.solidOf(p)};
  });
}
