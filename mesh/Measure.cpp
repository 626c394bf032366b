#include "Measure.h"

#include <algorithm>

#include "Normals.h"
#include "Shells.h"

Measures measure(const Mesh& mesh) {
  Measures m;
  m.faces = mesh.faceCount();
  m.corners = mesh.corners.size();
  m.colours = mesh.colours.size();
  for (uint32_t v : mesh.corners) {
    const Position& p = mesh.positions[v];
    if (!m.hasBounds) {
      m.low = m.high = p;
      m.hasBounds = true;
    }
    m.low = {std::min(m.low.x, p.x), std::min(m.low.y, p.y), std::min(m.low.z, p.z)};
    m.high = {std::max(m.high.x, p.x), std::max(m.high.y, p.y), std::max(m.high.z, p.z)};
  }
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
