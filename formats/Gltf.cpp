// glTF 2.0, written: a node and a mesh per solid (a part with its hollows), each mesh with
// vertices of its own and of one primitive per colour (a material each) and one for the faces
// without colour; with many colours, one primitive for a solid's coloured faces with a colour
// per vertex. glTF is Y-up and vandrel Z-up: a position (x, y, z) is written as (x, z, -y), so
// that what stands up in vandrel stands up in a viewer; the reader turns it back.

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "Bounds.h"
#include "Formats.h"

namespace {

void appendNumber(std::string& json, float value) {
  char digits[32];
  json.append(digits, static_cast<size_t>(shortestText(value, digits) - digits));
}

void appendNumber(std::string& json, uint64_t value) { json += std::to_string(value); }

// Base64 text of bytes that arrive in pieces, written out a chunk at a time.
class Base64 {
 public:
  explicit Base64(ByteWriter& out) : out_(out) {}
  // A large piece is taken a chunk at a time, so that no more than a chunk waits.
  void add(std::string_view bytes) {
    while (!bytes.empty()) {
      const size_t room = size_t(chunk - pending_.size());
      const std::string_view piece = bytes.substr(0, room);
      pending_.append(piece.data(), qsizetype(piece.size()));
      bytes.remove_prefix(piece.size());
      if (pending_.size() >= chunk) encode(pending_.size() / 3 * 3);
    }
  }
  void finish() { encode(pending_.size()); }

 private:
  static constexpr qsizetype chunk = 3 << 20;
  void encode(qsizetype count) {
    const QByteArray text = pending_.left(count).toBase64();
    out_.text(std::string_view(text.constData(), size_t(text.size())));
    pending_.remove(0, count);
  }
  ByteWriter& out_;
  QByteArray pending_;
};

Position yUp(const Position& p) { return {p.x, p.z, -p.y}; }

// Above this many colours the colours go with the vertices (COLOR_0): the coloured triangles
// are one primitive, drawn in one call, instead of a primitive and a material per colour.
constexpr size_t mostMaterials = 64;

// A run of the triangles in drawing order, drawn as one primitive of a mesh.
struct Draw {
  size_t start, count;  // in triangles
  int64_t material;     // or -1
  bool vertexColours;
  size_t mesh;  // the mesh it is a primitive of: one per solid that has triangles
};

// Where a triangle is drawn: its solid (a part with its hollows, or one past them for faces in
// no part; with no parts, 0 for all), and its kind of colour within the solid: 0 without
// colour, then c + 1 for colour c, or with colours per vertex 1 for all coloured faces.
struct Placing {
  const Mesh& mesh;
  const Triangles& triangles;
  const Parts* parts;
  bool vertexColours;

  size_t solids() const { return parts != nullptr ? parts->parts.size() + 1 : 1; }
  size_t kinds() const { return vertexColours ? 2 : mesh.colours.size() + 1; }
  size_t solidOf(uint32_t t) const {
    return parts != nullptr ? parts->solidOfFace(triangles.face[t]) : 0;
  }
  size_t kindOf(uint32_t t) const {
    const int32_t colour = mesh.faceColour[triangles.face[t]];
    return vertexColours ? size_t{colour != Mesh::noColour} : size_t(colour + 1);
  }
};

// The triangles `in`, stably sorted by key(t), which is below `count`.
template <class Key>
std::vector<uint32_t> sortedBy(const std::vector<uint32_t>& in, size_t count, Key key) {
  std::vector<size_t> next(count + 1, 0);
  for (uint32_t t : in) ++next[key(t) + 1];
  for (size_t k = 0; k < count; ++k) next[k + 1] += next[k];
  std::vector<uint32_t> out(in.size());
  for (uint32_t t : in) out[next[key(t)]++] = t;
  return out;
}

// The drawing order: solid after solid, and within a solid kind after kind, each in the model's
// order (sorted by kind, then stably by solid, so that no table holds a count per solid and kind).
std::vector<uint32_t> drawingOrder(const Placing& placing) {
  std::vector<uint32_t> all(placing.triangles.count());
  for (size_t t = 0; t < all.size(); ++t) all[t] = static_cast<uint32_t>(t);
  const std::vector<uint32_t> byKind =
      sortedBy(all, placing.kinds(), [&](uint32_t t) { return placing.kindOf(t); });
  return sortedBy(byKind, placing.solids(), [&](uint32_t t) { return placing.solidOf(t); });
}

// The runs of triangles of one solid and kind, in drawing order.
std::vector<Draw> drawsOf(const Placing& placing, const std::vector<uint32_t>& order) {
  std::vector<Draw> draws;
  size_t meshes = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    const size_t solid = placing.solidOf(order[i]), kind = placing.kindOf(order[i]);
    const bool newSolid = i == 0 || solid != placing.solidOf(order[i - 1]);
    if (newSolid) ++meshes;
    if (newSolid || kind != placing.kindOf(order[i - 1])) {
      const bool perVertex = placing.vertexColours;
      const int64_t material = perVertex ? (kind == 0 ? -1 : 0) : int64_t(kind) - 1;
      draws.push_back({i, 0, material, perVertex && kind > 0, meshes - 1});
    }
    ++draws.back().count;
  }
  return draws;
}

// The vertices as written: each mesh has vertices of its own, so that a reader that takes a mesh
// as an object gets only that solid's; a vertex of the model is written once for each solid it
// is in and, with colours per vertex, once for each colour of that solid's faces that meet at it.
struct Vertices {
  std::vector<uint32_t> source;   // the model's vertex behind each written vertex
  std::vector<int32_t> colour;    // its colour, or noColour
  std::vector<uint32_t> corners;  // the triangles' corners in drawing order, each an
                                  // index among its mesh's vertices
  std::vector<size_t> first;      // per mesh: its first vertex; then the count of all
};

Vertices verticesOf(const Mesh& mesh, const Triangles& triangles,
                    const std::vector<uint32_t>& order, const std::vector<Draw>& draws,
                    bool vertexColours) {
  Vertices out;
  constexpr uint32_t none = UINT32_MAX;
  std::vector<uint32_t> at(mesh.positions.size(), none);    // each vertex's first copy
  std::vector<size_t> in(mesh.positions.size(), SIZE_MAX);  // the mesh `at` is of
  std::unordered_map<uint64_t, uint32_t> others;            // further copies, by vertex and colour
  size_t current = SIZE_MAX;
  auto add = [&out](uint32_t v, int32_t colour) {
    out.source.push_back(v);
    out.colour.push_back(colour);
    return uint32_t(out.source.size() - 1);
  };
  auto copyOf = [&](uint32_t v, int32_t colour) {
    if (in[v] != current) {
      in[v] = current;
      return at[v] = add(v, colour);
    }
    if (!vertexColours || out.colour[at[v]] == colour) return at[v];
    const auto [other, added] = others.try_emplace(uint64_t{v} << 32 | uint32_t(colour), 0);
    if (added) other->second = add(v, colour);
    return other->second;
  };
  out.corners.reserve(order.size() * 3);
  for (const Draw& draw : draws) {
    if (draw.mesh != current) {
      current = draw.mesh;
      out.first.push_back(out.source.size());
      if (!others.empty()) others.clear();
    }
    const uint32_t base = uint32_t(out.first.back());
    for (size_t i = draw.start; i < draw.start + draw.count; ++i) {
      const uint32_t t = order[i];
      const int32_t colour = mesh.faceColour[triangles.face[t]];
      for (size_t k = 0; k < 3; ++k)
        out.corners.push_back(copyOf(triangles.corners[3 * size_t{t} + k], colour) - base);
    }
  }
  out.first.push_back(out.source.size());
  return out;
}

// The one buffer: the vertices' positions mesh after mesh, then the triangles' indices group
// after group, then (with colours per vertex) the vertices' colours.
struct Buffer {
  const Mesh& mesh;
  const Vertices& vertices;
  bool vertexColours;

  size_t vertexCount() const { return vertices.source.size(); }
  Position vertex(size_t i) const { return mesh.positions[vertices.source[i]]; }
  size_t positionBytes() const { return vertexCount() * sizeof(Position); }
  size_t indexBytes() const { return vertices.corners.size() * sizeof(uint32_t); }
  size_t colourBytes() const { return vertexColours ? vertexCount() * sizeof(Colour) : 0; }
  size_t bytes() const { return positionBytes() + indexBytes() + colourBytes(); }

  // Hands the buffer's bytes to `put` in pieces.
  template <class Put>
  void write(Put&& put) const {
    auto each = [&put](size_t count, auto&& value) {
      using Value = std::decay_t<decltype(value(0))>;
      std::vector<Value> piece;
      piece.reserve((1 << 16) / sizeof(Value));
      for (size_t i = 0; i < count; i += piece.capacity()) {
        piece.clear();
        const size_t end = std::min(count, i + piece.capacity());
        for (size_t k = i; k < end; ++k) piece.push_back(value(k));
        put(std::string_view(reinterpret_cast<const char*>(piece.data()),
                             piece.size() * sizeof(Value)));
      }
    };
    each(vertexCount(), [this](size_t i) { return yUp(vertex(i)); });
    each(vertices.corners.size(), [this](size_t i) { return vertices.corners[i]; });
    if (vertexColours) {
      each(vertexCount(), [this](size_t i) {
        const int32_t c = vertices.colour[i];
        return c == Mesh::noColour ? Colour{1, 1, 1} : mesh.colours[size_t(c)];
      });
    }
  }
};

// The scene, a node and a mesh per solid, and the meshes' primitives. The accessors they name
// are each mesh's positions, then each draw's indices, then (with colours per vertex) each
// mesh's colours.
void appendPrimitives(std::string& json, const std::vector<Draw>& draws) {
  const size_t meshes = draws.back().mesh + 1;
  json += R"("scenes":[{"nodes":[)";
  for (size_t m = 0; m < meshes; ++m) {
    if (m > 0) json += ',';
    appendNumber(json, uint64_t{m});
  }
  json += R"(]}],"nodes":[)";
  for (size_t m = 0; m < meshes; ++m) {
    json += m > 0 ? R"(,{"mesh":)" : R"({"mesh":)";
    appendNumber(json, uint64_t{m});
    json += '}';
  }
  json += R"(],"meshes":[{"primitives":[)";
  for (size_t d = 0; d < draws.size(); ++d) {
    if (d > 0) json += draws[d].mesh != draws[d - 1].mesh ? R"(]},{"primitives":[)" : ",";
    json += R"({"attributes":{"POSITION":)";
    appendNumber(json, uint64_t{draws[d].mesh});
    if (draws[d].vertexColours) {
      json += R"(,"COLOR_0":)";
      appendNumber(json, uint64_t{meshes + draws.size() + draws[d].mesh});
    }
    json += R"(},"indices":)";
    appendNumber(json, uint64_t{meshes + d});
    if (draws[d].material >= 0) {
      json += R"(,"material":)";
      appendNumber(json, uint64_t(draws[d].material));
    }
    json += R"(,"mode":4})";
  }
  json += "]}]";
}

void appendMaterial(std::string& json, const char* name, const Colour& colour) {
  json += R"({"name":")";
  json += name;
  json += R"(","pbrMetallicRoughness":{"baseColorFactor":[)";
  appendNumber(json, colour.red);
  json += ',';
  appendNumber(json, colour.green);
  json += ',';
  appendNumber(json, colour.blue);
  json += R"(,1],"metallicFactor":0,"roughnessFactor":1}})";
}

void appendMaterials(std::string& json, const Mesh& mesh, bool vertexColours) {
  if (mesh.colours.empty()) return;
  json += R"(,"materials":[)";
  if (vertexColours) {
    appendMaterial(json, "vertex colours", Colour{1, 1, 1});
  } else {
    for (size_t c = 0; c < mesh.colours.size(); ++c) {
      if (c > 0) json += ',';
      appendMaterial(json, ("colour" + std::to_string(c)).c_str(), mesh.colours[c]);
    }
  }
  json += ']';
}

void appendVec3Bounds(std::string& json, const float low[3], const float high[3]) {
  json += R"(,"type":"VEC3","min":[)";
  for (int i = 0; i < 3; ++i) {
    if (i > 0) json += ',';
    appendNumber(json, low[i]);
  }
  json += R"(],"max":[)";
  for (int i = 0; i < 3; ++i) {
    if (i > 0) json += ',';
    appendNumber(json, high[i]);
  }
  json += "]}";
}

// The buffer, its views and the accessors; *uriAt: where the base64 text of an embedded
// buffer goes.
void appendBuffers(std::string& json, const Buffer& buffer, const std::vector<Draw>& draws,
                   bool binary, size_t* uriAt) {
  json += R"(,"buffers":[{"byteLength":)";
  appendNumber(json, uint64_t{buffer.bytes()});
  if (!binary) {
    json += R"(,"uri":"data:application/octet-stream;base64,)";
    *uriAt = json.size();
    json += '"';
  }
  // The meshes' accessors share the views of vertices, which then need their stride.
  json += R"(}],"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":)";
  appendNumber(json, uint64_t{buffer.positionBytes()});
  json += R"(,"byteStride":12,"target":34962},{"buffer":0,"byteOffset":)";
  appendNumber(json, uint64_t{buffer.positionBytes()});
  json += R"(,"byteLength":)";
  appendNumber(json, uint64_t{buffer.indexBytes()});
  json += R"(,"target":34963})";
  if (buffer.vertexColours) {
    json += R"(,{"buffer":0,"byteOffset":)";
    appendNumber(json, uint64_t{buffer.positionBytes() + buffer.indexBytes()});
    json += R"(,"byteLength":)";
    appendNumber(json, uint64_t{buffer.colourBytes()});
    json += R"(,"byteStride":12,"target":34962})";
  }
  json += R"(],"accessors":[)";
  const std::vector<size_t>& first = buffer.vertices.first;
  const size_t meshes = first.size() - 1;
  for (size_t m = 0; m < meshes; ++m) {
    json += m > 0 ? R"(,{"bufferView":0,"byteOffset":)" : R"({"bufferView":0,"byteOffset":)";
    appendNumber(json, uint64_t{first[m] * sizeof(Position)});
    json += R"(,"componentType":5126,"count":)";
    appendNumber(json, uint64_t{first[m + 1] - first[m]});
    Bounds bounds;
    for (size_t i = first[m]; i < first[m + 1]; ++i) bounds.include(buffer.vertex(i));
    const float low[3] = {bounds.low.x, bounds.low.z, -bounds.high.y};
    const float high[3] = {bounds.high.x, bounds.high.z, -bounds.low.y};
    appendVec3Bounds(json, low, high);
  }
  for (const Draw& draw : draws) {
    json += R"(,{"bufferView":1,"byteOffset":)";
    appendNumber(json, uint64_t{draw.start * 3 * sizeof(uint32_t)});
    json += R"(,"componentType":5125,"count":)";
    appendNumber(json, uint64_t{draw.count * 3});
    json += R"(,"type":"SCALAR"})";
  }
  if (buffer.vertexColours) {
    for (size_t m = 0; m < meshes; ++m) {
      json += R"(,{"bufferView":2,"byteOffset":)";
      appendNumber(json, uint64_t{first[m] * sizeof(Colour)});
      json += R"(,"componentType":5126,"count":)";
      appendNumber(json, uint64_t{first[m + 1] - first[m]});
      json += R"(,"type":"VEC3"})";
    }
  }
  json += "]";
}

void writeEmbedded(const std::string& json, size_t uriAt, const Buffer* buffer, ByteWriter& out) {
  out.text(std::string_view(json).substr(0, uriAt));
  if (buffer != nullptr) {
    Base64 base64(out);
    buffer->write([&base64](std::string_view bytes) { base64.add(bytes); });
    base64.finish();
  }
  out.text(std::string_view(json).substr(uriAt));
  out.text("\n");
}

void writeBinary(std::string& json, const Buffer* buffer, ByteWriter& out) {
  while (json.size() % 4 != 0) json += ' ';
  const size_t bufferBytes = buffer != nullptr ? buffer->bytes() : 0;
  const size_t binBytes = (bufferBytes + 3) / 4 * 4;
  const size_t total = 12 + 8 + json.size() + (buffer != nullptr ? 8 + binBytes : 0);
  out.text("glTF");
  out.binary(uint32_t{2});
  out.binary(static_cast<uint32_t>(total));
  out.binary(static_cast<uint32_t>(json.size()));
  out.text("JSON");
  out.text(json);
  if (buffer == nullptr) return;
  out.binary(static_cast<uint32_t>(binBytes));
  out.binary(uint32_t{0x004E4942});  // "BIN"
  buffer->write([&out](std::string_view bytes) { out.text(bytes); });
  out.text(std::string_view("\0\0\0", binBytes - bufferBytes));
}

}  // namespace

void writeGltf(const Mesh& mesh, const Triangles& triangles, const Parts* parts, bool binary,
               ByteWriter& out) {
  const bool vertexColours = mesh.colours.size() > mostMaterials;
  const Placing placing{mesh, triangles, parts, vertexColours};
  const std::vector<uint32_t> order = drawingOrder(placing);
  const std::vector<Draw> draws = drawsOf(placing, order);
  const Vertices vertices = verticesOf(mesh, triangles, order, draws, vertexColours);
  const Buffer buffer{mesh, vertices, vertexColours};
  const bool anything = !draws.empty();
  size_t uriAt = 0;
  std::string json = R"({"asset":{"version":"2.0","generator":"vandrel"},"scene":0,)";
  if (!anything) {
    json += R"("scenes":[{}]})";
  } else {
    appendPrimitives(json, draws);
    appendMaterials(json, mesh, vertexColours);
    appendBuffers(json, buffer, draws, binary, &uriAt);
    json += '}';
  }
  if (binary) {
    writeBinary(json, anything ? &buffer : nullptr, out);
  } else {
    writeEmbedded(json, uriAt, anything ? &buffer : nullptr, out);
  }
}
