// OBJ, read: vertices (v), faces (f) in the colour of their material (usemtl, from the diffuse
// colour Kd of the MTL files named by mtllib), points (p) and lines (l). Other statements
// (normals, texture coordinates, groups, smoothing) do not change the faces and are passed over.

#include <QStringDecoder>
#include <map>
#include <vector>

#include "TextInput.h"

namespace {

// The materials of an MTL file that have a diffuse colour.
void readMaterials(std::string_view text, std::map<std::string, Colour>* colours) {
  TextInput in(text);
  std::string_view line;
  std::string current;
  while (in.line(&line)) {
    size_t at = 0;
    const std::string_view keyword = word(line, &at);
    if (keyword == "newmtl") {
      current = std::string(word(line, &at));
    } else if (keyword == "Kd" && !current.empty()) {
      float rgb[3];
      bool ok = true;
      for (float& v : rgb) ok = ok && readFloat(word(line, &at), &v);
      if (ok) (*colours)[current] = {rgb[0], rgb[1], rgb[2]};
    }
  }
}

}  // namespace

Mesh readObj(std::string_view bytes, const Neighbour& neighbour, Skipped* skipped) {
  // UTF-16 text, as some programs on Windows save it, by its byte-order mark: read as UTF-8.
  if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xff\xfe" || bytes.substr(0, 2) == "\xfe\xff")) {
    QStringDecoder decode(bytes[0] == '\xff' ? QStringConverter::Utf16LE
                                             : QStringConverter::Utf16BE);
    const QString text = decode(QByteArrayView(bytes.data() + 2, qsizetype(bytes.size() - 2)));
    if (decode.hasError()) throw FormatError{0, "UTF-16 text that does not decode"};
    const QByteArray utf8 = text.toUtf8();
    return readObj(std::string_view(utf8.constData(), size_t(utf8.size())), neighbour, skipped);
  }
  if (bytes.substr(0, 3) == "\xef\xbb\xbf") bytes.remove_prefix(3);  // UTF-8's byte-order mark
  Mesh mesh;
  TextInput in(bytes);
  std::map<std::string, Colour> materials;
  int32_t colour = Mesh::noColour;
  std::vector<uint32_t> face;
  std::string_view line;
  while (in.line(&line)) {
    const size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    size_t at = 0;
    const std::string_view keyword = word(line, &at);
    if (keyword == "v") {
      float xyz[3];
      for (float& v : xyz) {
        const std::string_view w = word(line, &at);
        if (!readFloat(w, &v)) in.fail("expected a coordinate, found", w);
      }
      mesh.positions.push_back({xyz[0], xyz[1], xyz[2]});
    } else if (keyword == "f" || keyword == "l" || keyword == "p") {
      face.clear();
      for (std::string_view w = word(line, &at); !w.empty(); w = word(line, &at)) {
        long long index;
        if (!readInteger(w.substr(0, w.find('/')), &index)) in.fail("expected a vertex, found", w);
        const auto count = static_cast<long long>(mesh.positions.size());
        if (index < 0) index += count + 1;  // counted back from the last vertex
        if (index < 1 || index > count) in.fail("no such vertex:", w);
        face.push_back(static_cast<uint32_t>(index - 1));
      }
      if (face.empty()) in.fail("'" + std::string(keyword) + "' without vertices");
      if (keyword == "p") {
        skipped->points += face.size();
      } else if (keyword == "l") {
        ++skipped->lines;
      } else {
        addFaceOrSkip(mesh, face, colour, skipped);
      }
    } else if (keyword == "usemtl") {
      const auto found = materials.find(std::string(word(line, &at)));
      colour = found == materials.end() ? Mesh::noColour : mesh.colourIndex(found->second);
    } else if (keyword == "mtllib") {
      for (std::string_view w = word(line, &at); !w.empty(); w = word(line, &at)) {
        std::string text;
        if (neighbour(std::string(w), &text)) readMaterials(text, &materials);
      }
    }
  }
  return mesh;
}
