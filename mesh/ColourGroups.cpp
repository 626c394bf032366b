#include "ColourGroups.h"

ColourGroups groupByColour(const Mesh& mesh, const Triangles& triangles) {
  ColourGroups groups;
  const size_t count = mesh.colours.size() + 1;
  auto groupOf = [&](size_t t) { return size_t(mesh.faceColour[triangles.face[t]] + 1); };
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
