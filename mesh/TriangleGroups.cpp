#include "TriangleGroups.h"

namespace {

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

}  // namespace

TriangleGroups groupByColour(const Mesh& mesh, const Triangles& triangles) {
  return groupTriangles(triangles, mesh.colours.size() + 1,
                        [&](size_t t) { return size_t(mesh.faceColour[triangles.face[t]] + 1); });
}

TriangleGroups groupByPart(const Parts& parts, const Triangles& triangles) {
  const size_t count = parts.parts.size();
  return groupTriangles(triangles, count + 1,
                        [&](size_t t) { return parts.solidOfFace(triangles.face[t]); });
}
