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

void addToModel(const Mesh& mesh, LNHHolder& model) {
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    auto* object = new LinkNodeHolder;
    model.add(object);
    const int32_t c = mesh.faceColour[f];
    if (c == Mesh::noColour) {
      object->add(-1, -1, 2, 1);
    } else {
      const Colour& colour = mesh.colours[size_t(c)];
      object->add(colour.red, colour.green, colour.blue, 1);
    }
    const uint32_t* v = mesh.face(f);
    for (uint32_t i = 0; i < mesh.faceSize(f); ++i) {
      const Position& p = mesh.positions[v[i]];
      object->add(p.x, p.y, p.z, 1);
    }
  }
  model.reset();
}
