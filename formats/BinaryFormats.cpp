// The binary formats STL and PLY, written.

#include <algorithm>

#include "Formats.h"
#include "Normals.h"

// 80 bytes of header, the triangle count, then per triangle its unit normal, its three corners
// and two bytes of attributes, all little-endian. STL has no colours.
void writeStl(const Mesh& mesh, const Triangles& triangles, ByteWriter& out) {
  std::string header = "binary STL written by vandrel";
  header.resize(80, ' ');
  out.text(header);
  out.binary(static_cast<uint32_t>(triangles.count()));
  for (size_t t = 0; t < triangles.count(); ++t) {
    const Position* p[3];
    for (int i = 0; i < 3; ++i) p[i] = &mesh.positions[triangles.corners[3 * t + size_t(i)]];
    const Vec3 n = triangleNormal(*p[0], *p[1], *p[2]);
    out.binary(static_cast<float>(n.x));
    out.binary(static_cast<float>(n.y));
    out.binary(static_cast<float>(n.z));
    for (const Position* q : p) {
      out.binary(q->x);
      out.binary(q->y);
      out.binary(q->z);
    }
    out.binary(uint16_t{0});
  }
}

// Vertices as float x, y, z; faces as a list of int indices, with a count of uchar where no
// face has more than 255 vertices and of uint otherwise; where any face has a colour, every
// face has red, green and blue as uchar (a face without one is written light grey).
void writePly(const Mesh& mesh, ByteWriter& out) {
  uint32_t largest = 0;
  for (size_t f = 0; f < mesh.faceCount(); ++f) largest = std::max(largest, mesh.faceSize(f));
  const bool small = largest <= 255;
  const bool coloured = !mesh.colours.empty();
  out.text("ply\nformat binary_little_endian 1.0\ncomment written by vandrel\nelement vertex ");
  out.number(uint64_t{mesh.positions.size()});
  out.text("\nproperty float x\nproperty float y\nproperty float z\nelement face ");
  out.number(uint64_t{nonEmptyFaces(mesh)});
  out.text(small ? "\nproperty list uchar int vertex_indices\n"
                 : "\nproperty list uint int vertex_indices\n");
  if (coloured) out.text("property uchar red\nproperty uchar green\nproperty uchar blue\n");
  out.text("end_header\n");
  for (const Position& p : mesh.positions) {
    out.binary(p.x);
    out.binary(p.y);
    out.binary(p.z);
  }
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const uint32_t size = mesh.faceSize(f);
    if (size == 0) continue;
    if (small) {
      out.binary(static_cast<uint8_t>(size));
    } else {
      out.binary(size);
    }
    const uint32_t* v = mesh.face(f);
    for (uint32_t i = 0; i < size; ++i) out.binary(static_cast<int32_t>(v[i]));
    if (coloured) {
      const int32_t c = mesh.faceColour[f];
      const Colour colour =
          c == Mesh::noColour ? Colour{0.8f, 0.8f, 0.8f} : mesh.colours[size_t(c)];
      out.binary(colourByte(colour.red));
      out.binary(colourByte(colour.green));
      out.binary(colourByte(colour.blue));
    }
  }
}
