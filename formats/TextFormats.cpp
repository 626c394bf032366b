// The text formats OBJ (with its MTL materials) and OFF, written.

#include "Formats.h"

namespace {

void vertexLine(ByteWriter& out, const char* prefix, const Position& p) {
  out.text(prefix);
  out.number(p.x);
  out.text(" ");
  out.number(p.y);
  out.text(" ");
  out.number(p.z);
  out.text("\n");
}

void colourValues(ByteWriter& out, const Colour& c) {
  out.number(c.red);
  out.text(" ");
  out.number(c.green);
  out.text(" ");
  out.number(c.blue);
}

}  // namespace

void writeObj(const Mesh& mesh, const std::string& materialFile, ByteWriter& out) {
  out.text("# written by vandrel\n");
  const bool coloured = !mesh.colours.empty();
  if (coloured) out.text("mtllib " + materialFile + "\n");
  for (const Position& p : mesh.positions) vertexLine(out, "v ", p);
  int32_t material = coloured ? -2 : Mesh::noColour;  // -2: none chosen yet
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const uint32_t size = mesh.faceSize(f);
    if (size == 0) continue;
    const int32_t colour = mesh.faceColour[f];
    if (colour != material) {
      out.text("usemtl ");
      if (colour == Mesh::noColour) {
        out.text("uncoloured\n");
      } else {
        out.text("colour");
        out.number(uint64_t(colour));
        out.text("\n");
      }
      material = colour;
    }
    // A face of one or two vertices is a point or a line.
    out.text(size == 1 ? "p" : size == 2 ? "l" : "f");
    const uint32_t* v = mesh.face(f);
    for (uint32_t i = 0; i < size; ++i) {
      out.text(" ");
      out.number(uint64_t{v[i]} + 1);
    }
    out.text("\n");
  }
}

// One material per colour, "colourN" with its diffuse colour, and "uncoloured" without one,
// for the faces that have none.
void writeMtl(const Mesh& mesh, ByteWriter& out) {
  out.text("# written by vandrel\n");
  for (size_t i = 0; i < mesh.colours.size(); ++i) {
    out.text("newmtl colour");
    out.number(uint64_t{i});
    out.text("\nKd ");
    colourValues(out, mesh.colours[i]);
    out.text("\n");
  }
  out.text("newmtl uncoloured\n");
}

// Faces without vertices are left out. A face's colour, where it has one, follows its vertex
// indices as three values in 0..1.
void writeOff(const Mesh& mesh, ByteWriter& out) {
  out.text("OFF\n# written by vandrel\n");
  out.number(uint64_t{mesh.positions.size()});
  out.text(" ");
  out.number(uint64_t{nonEmptyFaces(mesh)});
  out.text(" 0\n");
  for (const Position& p : mesh.positions) vertexLine(out, "", p);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    if (mesh.faceSize(f) == 0) continue;
    out.number(uint64_t{mesh.faceSize(f)});
    const uint32_t* v = mesh.face(f);
    for (uint32_t i = 0; i < mesh.faceSize(f); ++i) {
      out.text(" ");
      out.number(uint64_t{v[i]});
    }
    if (mesh.faceColour[f] != Mesh::noColour) {
      out.text(" ");
      colourValues(out, mesh.colours[size_t(mesh.faceColour[f])]);
    }
    out.text("\n");
  }
}
