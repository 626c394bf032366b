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

// The faces solid by solid, each in the order of the model: a solid's faces are those of a part
// and of its hollows; the faces in no part (points, lines, faces without area) come last.
std::vector<uint32_t> facesBySolid(const Mesh& mesh, const Parts& parts) {
  const size_t count = parts.parts.size();
  std::vector<size_t> start(count + 2, 0);
  for (size_t f = 0; f < mesh.faceCount(); ++f) ++start[parts.solidOfFace(f) + 1];
  for (size_t g = 0; g <= count; ++g) start[g + 1] += start[g];
  std::vector<uint32_t> order(mesh.faceCount());
  for (size_t f = 0; f < mesh.faceCount(); ++f) order[start[parts.solidOfFace(f)]++] = uint32_t(f);
  return order;
}

}  // namespace

void writeObj(const Mesh& mesh, const Parts& parts, const std::string& materialFile,
              ByteWriter& out) {
  out.text("# written by vandrel\n");
  const bool coloured = !mesh.colours.empty();
  if (coloured) out.text("mtllib " + materialFile + "\n");
  for (const Position& p : mesh.positions) vertexLine(out, "v ", p);
  const std::vector<uint32_t> order = facesBySolid(mesh, parts);
  int32_t material = coloured ? -2 : Mesh::noColour;  // -2: none chosen yet
  const size_t rest = parts.parts.size();             // the group of the faces in no part
  size_t solid = rest + 1;                            // none yet
  uint64_t solids = 0;
  for (const uint32_t f : order) {
    const uint32_t size = mesh.faceSize(f);
    if (size == 0) continue;
    // An object per solid, and one for the rest; each names its material anew.
    const size_t group = parts.solidOfFace(f);
    if (group != solid) {
      if (group == rest) {
        out.text("o rest\n");
      } else {
        out.text("o solid");
        out.number(++solids);
        out.text("\n");
      }
      solid = group;
      if (coloured) material = -2;
    }
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
    for (uint32_t k = 0; k < size; ++k) {
      out.text(" ");
      out.number(uint64_t{v[k]} + 1);
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
