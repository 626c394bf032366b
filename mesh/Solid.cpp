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

WeldedParts weldedParts(const Mesh& mesh, double weldDistance) {
  const double distance = weldDistance < 0 ? defaultWeldDistance(mesh) : weldDistance;
  return weldedParts(mesh, distance, boundsOf(mesh));
}

WeldedParts weldedParts(const Mesh& mesh, double distance, const Bounds& grid) {
  WeldedParts welded;
  welded.vertex = weldedVertices(mesh, distance, grid);
  Mesh& joined = welded.mesh;
  for (size_t i = 0; i < mesh.positions.size(); ++i) {
    if (welded.vertex[i] == joined.positions.size()) joined.positions.push_back(mesh.positions[i]);
  }
  std::vector<uint32_t> face;
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    face.clear();
    const uint32_t* v = mesh.face(f);
    for (uint32_t i = 0; i < mesh.faceSize(f); ++i) {
      const uint32_t k = welded.vertex[v[i]];
      if (face.empty() || face.back() != k) face.push_back(k);
    }
    while (face.size() > 1 && face.back() == face.front()) face.pop_back();
    joined.addFace(face.data(), face.size(), mesh.faceColour[f]);
  }
  joined.colours = mesh.colours;
  welded.parts = findParts(joined);
  return welded;
}
