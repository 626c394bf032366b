// glTF 2.0, written: one mesh of one primitive per colour (a material each) and one for the
// faces without colour, all sharing one list of positions. glTF is Y-up and vandrel Z-up: a
// position (x, y, z) is written as (x, z, -y), so that what stands up in vandrel stands up in
// a viewer; the reader turns it back.

#include <QByteArray>
#include <algorithm>
#include <string>
#include <vector>

#include "Bounds.h"
#include "Formats.h"
#include "TriangleGroups.h"

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

// The one buffer: the positions, then the triangles' indices group after group.
struct Buffer {
  const Mesh& mesh;
  const Triangles& triangles;
  const TriangleGroups& groups;

  size_t positionBytes() const { return mesh.positions.size() * sizeof(Position); }
  size_t indexBytes() const { return groups.order.size() * 3 * sizeof(uint32_t); }
  size_t bytes() const { return positionBytes() + indexBytes(); }

  // Hands the buffer's bytes to `put` in pieces.
  template <class Put>
  void write(Put&& put) const {
    std::vector<Position> turned;
    turned.reserve(1 << 14);
    for (size_t i = 0; i < mesh.positions.size(); i += turned.capacity()) {
      turned.clear();
      const size_t end = std::min(mesh.positions.size(), i + turned.capacity());
      for (size_t k = i; k < end; ++k) turned.push_back(yUp(mesh.positions[k]));
      put(std::string_view(reinterpret_cast<const char*>(turned.data()),
                           turned.size() * sizeof(Position)));
    }
    std::vector<uint32_t> piece;
    piece.reserve(3 << 14);
    auto flush = [&]() {
      put(std::string_view(reinterpret_cast<const char*>(piece.data()),
                           piece.size() * sizeof(uint32_t)));
      piece.clear();
    };
    for (uint32_t t : groups.order) {
      const uint32_t* c = &triangles.corners[3 * size_t{t}];
      piece.insert(piece.end(), c, c + 3);
      if (piece.size() == piece.capacity()) flush();
    }
    flush();
  }
};

void appendPrimitives(std::string& json, const TriangleGroups& groups) {
  json += R"("scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],"meshes":[{"primitives":[)";
  size_t accessor = 1;
  bool first = true;
  for (size_t g = 0; g < groups.count(); ++g) {
    if (groups.size(g) == 0) continue;
    if (!first) json += ',';
    first = false;
    json += R"({"attributes":{"POSITION":0},"indices":)";
    appendNumber(json, uint64_t{accessor++});
    if (g > 0) {
      json += R"(,"material":)";
      appendNumber(json, uint64_t{g - 1});
    }
    json += R"(,"mode":4})";
  }
  json += "]}]";
}

void appendMaterials(std::string& json, const Mesh& mesh) {
  if (mesh.colours.empty()) return;
  json += R"(,"materials":[)";
  for (size_t c = 0; c < mesh.colours.size(); ++c) {
    if (c > 0) json += ',';
    json += R"({"name":"colour)";
    appendNumber(json, uint64_t{c});
    json += R"(","pbrMetallicRoughness":{"baseColorFactor":[)";
    appendNumber(json, mesh.colours[c].red);
    json += ',';
    appendNumber(json, mesh.colours[c].green);
    json += ',';
    appendNumber(json, mesh.colours[c].blue);
    json += R"(,1],"metallicFactor":0,"roughnessFactor":1}})";
  }
  json += ']';
}

// The buffer, its two views and the accessors; *uriAt: where the base64 text of an embedded
// buffer goes.
void appendBuffers(std::string& json, const Buffer& buffer, bool binary, size_t* uriAt) {
  json += R"(,"buffers":[{"byteLength":)";
  appendNumber(json, uint64_t{buffer.bytes()});
  if (!binary) {
    json += R"(,"uri":"data:application/octet-stream;base64,)";
    *uriAt = json.size();
    json += '"';
  }
  json += R"(}],"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":)";
  appendNumber(json, uint64_t{buffer.positionBytes()});
  json += R"(,"target":34962},{"buffer":0,"byteOffset":)";
  appendNumber(json, uint64_t{buffer.positionBytes()});
  json += R"(,"byteLength":)";
  appendNumber(json, uint64_t{buffer.indexBytes()});
  json += R"(,"target":34963}],"accessors":[{"bufferView":0,"componentType":5126,"count":)";
  appendNumber(json, uint64_t{buffer.mesh.positions.size()});
  const Bounds bounds = boundsOf(buffer.mesh);
  const float low[3] = {bounds.low.x, bounds.low.z, -bounds.high.y};
  const float high[3] = {bounds.high.x, bounds.high.z, -bounds.low.y};
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
  const TriangleGroups& groups = buffer.groups;
  for (size_t g = 0; g < groups.count(); ++g) {
    if (groups.size(g) == 0) continue;
    json += R"(,{"bufferView":1,"byteOffset":)";
    appendNumber(json, uint64_t{groups.start[g] * 3 * sizeof(uint32_t)});
    json += R"(,"componentType":5125,"count":)";
    appendNumber(json, uint64_t{groups.size(g) * 3});
    json += R"(,"type":"SCALAR"})";
  }
  json += "]}";
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

void writeGltf(const Mesh& mesh, const Triangles& triangles, bool binary, ByteWriter& out) {
  // Triangles grouped by colour: the faces without colour first, then colour 0, 1, ...
  const TriangleGroups groups = groupByColour(mesh, triangles);
  const Buffer buffer{mesh, triangles, groups};
  const bool anything = triangles.count() > 0;
  size_t uriAt = 0;
  std::string json = R"({"asset":{"version":"2.0","generator":"vandrel"},"scene":0,)";
  if (!anything) {
    json += R"("scenes":[{}]})";
  } else {
    appendPrimitives(json, groups);
    appendMaterials(json, mesh);
    appendBuffers(json, buffer, binary, &uriAt);
  }
  if (binary) {
    writeBinary(json, anything ? &buffer : nullptr, out);
  } else {
    writeEmbedded(json, uriAt, anything ? &buffer : nullptr, out);
  }
}
