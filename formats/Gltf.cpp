// glTF 2.0, written: one mesh of one primitive per colour (a material each) and one for the
// faces without colour, all sharing one list of positions.

#include <algorithm>
#include <limits>
#include <vector>

#include <QByteArray>

#include "Formats.h"

namespace {

void appendNumber(std::string& json, float value) {
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  json.append(digits, static_cast<size_t>(end - digits));
}

void appendNumber(std::string& json, uint64_t value) { json += std::to_string(value); }

// Base64 text of bytes that arrive in pieces, written out a chunk at a time.
class Base64 {
 public:
  explicit Base64(ByteWriter& out) : out_(out) {}
  void add(std::string_view bytes) {
    pending_.append(bytes.data(), qsizetype(bytes.size()));
    if (pending_.size() >= chunk) encode(pending_.size() / 3 * 3);
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

void pad(std::string& bytes, char with) {
  while (bytes.size() % 4 != 0) bytes += with;
}

}  // namespace

void writeGltf(const Mesh& mesh, const Triangles& triangles, bool binary, ByteWriter& out) {
  // Triangles grouped by colour: the faces without colour first, then colour 0, 1, ...
  const size_t groups = mesh.colours.size() + 1;
  std::vector<size_t> groupSize(groups, 0);
  auto groupOf = [&](size_t t) { return size_t(mesh.faceColour[triangles.face[t]] + 1); };
  for (size_t t = 0; t < triangles.count(); ++t) ++groupSize[groupOf(t)];
  std::vector<size_t> groupStart(groups + 1, 0);
  for (size_t g = 0; g < groups; ++g) groupStart[g + 1] = groupStart[g] + groupSize[g];
  std::vector<uint32_t> indices(3 * triangles.count());
  {
    std::vector<size_t> next(groupStart.begin(), groupStart.end() - 1);
    for (size_t t = 0; t < triangles.count(); ++t) {
      const size_t at = 3 * next[groupOf(t)]++;
      std::copy_n(&triangles.corners[3 * t], 3, &indices[at]);
    }
  }

  const size_t positionBytes = mesh.positions.size() * sizeof(Position);
  const size_t indexBytes = indices.size() * sizeof(uint32_t);
  const size_t bufferBytes = positionBytes + indexBytes;
  const bool anything = !indices.empty();

  size_t uriAt = 0;
  std::string json = R"({"asset":{"version":"2.0","generator":"vandrel"},"scene":0,)";
  if (!anything) {
    json += R"("scenes":[{}]})";
  } else {
    float low[3], high[3];
    std::fill_n(low, 3, std::numeric_limits<float>::infinity());
    std::fill_n(high, 3, -std::numeric_limits<float>::infinity());
    for (const Position& p : mesh.positions) {
      const float xyz[3] = {p.x, p.y, p.z};
      for (int i = 0; i < 3; ++i) {
        low[i] = std::min(low[i], xyz[i]);
        high[i] = std::max(high[i], xyz[i]);
      }
    }
    json += R"("scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],"meshes":[{"primitives":[)";
    size_t accessor = 1;
    bool first = true;
    for (size_t g = 0; g < groups; ++g) {
      if (groupSize[g] == 0) continue;
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
    if (!mesh.colours.empty()) {
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
    json += R"(,"buffers":[{"byteLength":)";
    appendNumber(json, uint64_t{bufferBytes});
    if (!binary) {
      json += R"(,"uri":"data:application/octet-stream;base64,)";
      uriAt = json.size();  // the buffer's base64 text goes here, written as it is made
      json += '"';
    }
    json += R"(}],"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":)";
    appendNumber(json, uint64_t{positionBytes});
    json += R"(,"target":34962},{"buffer":0,"byteOffset":)";
    appendNumber(json, uint64_t{positionBytes});
    json += R"(,"byteLength":)";
    appendNumber(json, uint64_t{indexBytes});
    json += R"(,"target":34963}],"accessors":[{"bufferView":0,"componentType":5126,"count":)";
    appendNumber(json, uint64_t{mesh.positions.size()});
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
    for (size_t g = 0; g < groups; ++g) {
      if (groupSize[g] == 0) continue;
      json += R"(,{"bufferView":1,"byteOffset":)";
      appendNumber(json, uint64_t{groupStart[g] * 3 * sizeof(uint32_t)});
      json += R"(,"componentType":5125,"count":)";
      appendNumber(json, uint64_t{groupSize[g] * 3});
      json += R"(,"type":"SCALAR"})";
    }
    json += "]}";
  }
  if (!binary) {
    out.text(std::string_view(json).substr(0, uriAt));
    if (anything) {
      Base64 base64(out);
      base64.add(
          std::string_view(reinterpret_cast<const char*>(mesh.positions.data()), positionBytes));
      base64.add(std::string_view(reinterpret_cast<const char*>(indices.data()), indexBytes));
      base64.finish();
    }
    out.text(std::string_view(json).substr(uriAt));
    out.text("\n");
    return;
  }
  pad(json, ' ');
  const size_t binBytes = (bufferBytes + 3) / 4 * 4;
  const size_t total = 12 + 8 + json.size() + (anything ? 8 + binBytes : 0);
  out.text("glTF");
  out.binary(uint32_t{2});
  out.binary(static_cast<uint32_t>(total));
  out.binary(static_cast<uint32_t>(json.size()));
  out.text("JSON");
  out.text(json);
  if (!anything) return;
  out.binary(static_cast<uint32_t>(binBytes));
  out.binary(uint32_t{0x004E4942});  // "BIN"
  out.text(std::string_view(reinterpret_cast<const char*>(mesh.positions.data()), positionBytes));
  out.text(std::string_view(reinterpret_cast<const char*>(indices.data()), indexBytes));
  out.text(std::string_view("\0\0\0", binBytes - bufferBytes));
}
