#include "Solid.h"

#include <algorithm>

#include "Parallel.h"
#include "Triangulate.h"
#include "Weld.h"

namespace {

// Turns the marked faces round, keeping each one's first vertex first.
void turnRound(Mesh& mesh, const std::vector<bool>& reversed) {
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    if (!reversed[f]) continue;
    std::reverse(mesh.corners.begin() + mesh.faceStart[f] + 1,
                 mesh.corners.begin() + mesh.faceStart[f + 1]);
  }
}

}  // namespace

Solid solidOf(Mesh mesh, double weldDistance, bool withTriangles) {
  Solid solid;
  const double distance = weldDistance < 0 ? defaultWeldDistance(mesh) : weldDistance;
  solid.weldedAway = weld(mesh, distance);
  solid.mesh = std::move(mesh);
  const Mesh& m = solid.mesh;
  if (!withTriangles) {
    solid.parts = findParts(m);
    turnRound(solid.mesh, solid.parts.reversed);
    return solid;
  }
  // The parts are found, and the faces triangulated, on two threads; the thread that finds the
  // parts takes fewer faces.
  const size_t faces = m.faceCount();
  const size_t split = faces * 2 / 5;
  Triangles second;
  inParallel(
      [&]() {
        solid.parts = findParts(m);
        solid.triangles = triangulate(m, 0, split);
      },
      [&]() { second = triangulate(m, split, faces); });
  Triangles& t = solid.triangles;
  t.corners.insert(t.corners.end(), second.corners.begin(), second.corners.end());
  t.face.insert(t.face.end(), second.face.begin(), second.face.end());
  reverse(t, solid.parts.reversed);
  turnRound(solid.mesh, solid.parts.reversed);
  return solid;
}
