#include "Measure.h"

#include <algorithm>

#include "Normals.h"
#include "Shells.h"

namespace {

// A face has area when its first corner, or its Newell normal, is not zero: the rule by which
// extrude refuses a polygon.
bool hasArea(const Mesh& mesh, size_t f, const Normal& newell) {
  if (mesh.faceSize(f) < 3) return false;
  if (newell.x != 0 || newell.y != 0 || newell.z != 0) return true;
  const Position& a = mesh.positions[mesh.face(f)[0]];
  const Position& b = mesh.positions[mesh.face(f)[1]];
  const Position& c = mesh.positions[mesh.face(f)[2]];
  const double ux = double{a.x} - b.x, uy = double{a.y} - b.y, uz = double{a.z} - b.z;
  const double vx = double{b.x} - c.x, vy = double{b.y} - c.y, vz = double{b.z} - c.z;
  return uy * vz - uz * vy != 0 || uz * vx - ux * vz != 0 || ux * vy - uy * vx != 0;
}

}  // namespace

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
    const Normal n = newellNormal(mesh.positions, mesh.face(f), mesh.faceSize(f));
    m.area += length(n) / 2;
    if (!hasArea(mesh, f, n)) ++m.withoutArea;
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
