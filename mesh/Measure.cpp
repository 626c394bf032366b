#include "Measure.h"

#include <algorithm>

#include "Bounds.h"
#include "Normals.h"
#include "Shells.h"

Measures measure(const Mesh& mesh) {
  Measures m;
  m.faces = mesh.faceCount();
  m.corners = mesh.corners.size();
  m.colours = mesh.colours.size();
  const Bounds bounds = boundsOf(mesh);
  m.hasBounds = !bounds.empty;
  m.low = bounds.low;
  m.high = bounds.high;
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const Vec3 n = newellNormal(mesh.positions, mesh.face(f), mesh.faceSize(f));
    m.area += length(n) / 2;
    if (!hasArea(mesh.positions, mesh.face(f), mesh.faceSize(f))) ++m.withoutArea;
  }
  const Shells shells = findShells(mesh);
  m.openEdges = shells.openEdges;
  bool anyEdge = false;
  for (size_t f = 0; f < mesh.faceCount() && !anyEdge; ++f) {
    for (uint32_t i = 0; mesh.faceSize(f) >= 3 && i + 1 < mesh.faceSize(f) && !anyEdge; ++i) {
      anyEdge = mesh.face(f)[i] != mesh.face(f)[i + 1];
    }
  }
  m.closed = anyEdge && shells.openEdges == 0;
  m.volume = shells.volume;
  return m;
}
