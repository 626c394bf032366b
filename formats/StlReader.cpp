// STL, read: binary (80 bytes of header, a count and 50 bytes per triangle, the file exactly
// that long, whatever its header says) or ASCII (solid ... facet normal ... outer loop, three
// vertex lines, endloop endfacet ... endsolid, to the end). Equal corners become one vertex.

#include <algorithm>
#include <cstring>
#include <vector>

#include "TextInput.h"
#include "VertexTable.h"

namespace {

Mesh readBinary(std::string_view bytes) {
  Mesh mesh;
  uint32_t count;
  std::memcpy(&count, bytes.data() + 80, 4);
  std::vector<Position> corners(3 * size_t{count});
  for (uint32_t t = 0; t < count; ++t) {
    std::memcpy(&corners[3 * size_t{t}], bytes.data() + 84 + 50 * size_t{t} + 12,
                3 * sizeof(Position));
    for (int i = 0; i < 3; ++i) {
      const Position& p = corners[3 * size_t{t} + size_t(i)];
      if (p.x - p.x != 0 || p.y - p.y != 0 || p.z - p.z != 0) {
        throw FormatError{0,
                          "triangle " + std::to_string(t + 1) + " has a corner that is not finite"};
      }
    }
  }
  mesh.corners.resize(corners.size());
  VertexTable table(&mesh.positions, corners.size());
  table.indices(corners.data(), corners.size(), mesh.corners.data());
  mesh.faceStart.resize(size_t{count} + 1);
  for (uint32_t t = 0; t <= count; ++t) mesh.faceStart[t] = 3 * t;
  mesh.faceColour.assign(count, Mesh::noColour);
  return mesh;
}

Mesh readAscii(std::string_view bytes) {
  Mesh mesh;
  VertexTable table(&mesh.positions);
  TextInput in(bytes);
  std::string_view line;
  std::vector<uint32_t> loop;
  bool solid = false, inLoop = false;
  while (in.line(&line)) {
    size_t at = 0;
    const std::string_view keyword = word(line, &at);
    if (keyword.empty()) continue;
    if (!solid) {
      if (keyword != "solid") in.fail("expected 'solid', found", keyword);
      solid = true;
    } else if (keyword == "vertex") {
      if (!inLoop) in.fail("a vertex outside a loop");
      float xyz[3];
      for (float& v : xyz) {
        const std::string_view w = word(line, &at);
        if (!readFloat(w, &v)) in.fail("expected a coordinate, found", w);
      }
      loop.push_back(table.index({xyz[0], xyz[1], xyz[2]}));
    } else if (keyword == "outer") {
      if (inLoop) in.fail("a loop inside a loop");
      inLoop = true;
      loop.clear();
    } else if (keyword == "endloop") {
      if (!inLoop) in.fail("'endloop' without a loop");
      inLoop = false;
      if (loop.size() != 3) {
        in.fail("a facet of " + std::to_string(loop.size()) +
                " vertices: an STL facet is a triangle");
      }
      mesh.addFace(loop.data(), loop.size(), Mesh::noColour);
    } else if (keyword == "endsolid") {
      solid = false;
    } else if (keyword != "facet" && keyword != "endfacet") {
      in.fail("unexpected", keyword);
    }
  }
  if (inLoop) in.fail("the file ends inside a loop");
  if (solid) in.fail("the file ends before 'endsolid': it was cut short");
  return mesh;
}

}  // namespace

Mesh readStl(std::string_view bytes, Skipped*) {
  if (bytes.size() >= 84) {
    uint32_t count;
    std::memcpy(&count, bytes.data() + 80, 4);
    if (84 + 50 * uint64_t{count} == bytes.size()) return readBinary(bytes);
  }
  // A binary STL may begin with "solid" too; text has no NUL or other control bytes.
  const bool text = std::none_of(bytes.begin(), bytes.end(), [](char c) {
    return (c >= 0 && c < '\t') || (c > '\r' && c < ' ') || c == 0x7f;
  });
  if (!text && bytes.size() >= 84) {
    uint32_t count;
    std::memcpy(&count, bytes.data() + 80, 4);
    throw FormatError{0,
                      "binary STL of " + std::to_string(count) + " triangles should be " +
                          std::to_string(84 + 50 * uint64_t{count}) + " bytes long, not " +
                          std::to_string(bytes.size()) +
                          (84 + 50 * uint64_t{count} > bytes.size() ? ": it was cut short" : "")};
  }
  size_t start = 0;
  while (start < bytes.size() && (isSpace(bytes[start]) || bytes[start] == '\n')) ++start;
  if (bytes.substr(start, 5) != "solid") {
    throw FormatError{0, "neither binary STL (the size does not match the count) nor ASCII STL"};
  }
  return readAscii(bytes);
}
