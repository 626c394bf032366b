#include "ModelMesh.h"

#include <cstring>

#include "ModelWalk.h"
#include "VertexTable.h"

bool leadColour(float x, float y, float z, Colour* colour) {
  auto unit = [](float v) { return v >= 0 && v <= 1; };
  if (!unit(x) || !unit(y) || !unit(z)) return false;
  *colour = {x, y, z};
  return true;
}

Mesh meshOf(LNHHolder& model) {
  Mesh mesh;
  std::vector<Position> corners;  // every vertex record, in order
  model.reset();
  walkObjects(model, [&](LinkNodeHolder& object) {
    int32_t colour = Mesh::noColour;
    Colour c;
    if (object.hasCurent() && leadColour(object.getX(), object.getY(), object.getZ(), &c)) {
      colour = mesh.colourIndex(c);
    }
    walkVertices(object, [&](LinkNodeHolder& r) {
      corners.push_back({r.getX(), r.getY(), r.getZ()});
    });
    mesh.faceStart.push_back(static_cast<uint32_t>(corners.size()));
    mesh.faceColour.push_back(colour);
  });
  model.reset();
  mesh.corners.resize(corners.size());
  VertexTable table(&mesh.positions, corners.size());
  table.indices(corners.data(), corners.size(), mesh.corners.data());
  return mesh;
}
