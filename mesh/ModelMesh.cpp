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
  VertexTable table(&mesh.positions);
  std::vector<uint32_t> face;
  model.reset();
  walkObjects(model, [&](LinkNodeHolder& object) {
    int32_t colour = Mesh::noColour;
    Colour c;
    if (object.hasCurent() && leadColour(object.getX(), object.getY(), object.getZ(), &c)) {
      colour = mesh.colourIndex(c);
    }
    face.clear();
    walkVertices(object, [&](LinkNodeHolder& r) {
      face.push_back(table.index({r.getX(), r.getY(), r.getZ()}));
    });
    mesh.addFace(face.data(), face.size(), colour);
  });
  model.reset();
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
