#include "Measure.h"

#include "Bounds.h"
#include "Normals.h"
#include "Solid.h"

Measures measure(Mesh mesh, double weldDistance) {
  Measures m;
  m.faces = mesh.faceCount();
  m.corners = mesh.corners.size();
  m.colours = mesh.colours.size();
  const Bounds bounds = boundsOf(mesh);
  m.hasBounds = !bounds.empty;
  m.low = bounds.low;
  m.high = bounds.high;
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    m.area += length(newellNormal(mesh.positions, mesh.face(f), mesh.faceSize(f))) / 2;
    if (!hasArea(mesh.positions, mesh.face(f), mesh.faceSize(f))) ++m.withoutArea;
  }
  const Solid solid = solidOf(std::move(mesh), weldDistance, false);
  const Parts& parts = solid.parts;
  m.withoutArea += solid.weldedAway;
  m.parts = parts.parts.size();
  m.openEdges = parts.openEdges;
  m.touchingEdges = parts.touchingEdges;
  m.inwardFaces = parts.inwardFaces;
  m.closed = parts.closed;
  m.volume = parts.volume;
  return m;
}
