#include "Formats.h"

namespace {

std::vector<FormatInfo> table() {
  return {
      {Format::obj, "obj", "Wavefront OBJ, text, with materials in a .mtl file", false, "mtl",
       [](const WriteJob& j) {
         if (j.companion != nullptr) writeMtl(j.mesh, *j.companion);
         writeObj(j.mesh, j.parts, j.companionName, j.out);
       },
       [](const ReadJob& j) { return readObj(j.bytes, j.neighbour, j.skipped); }},
      {Format::stl, "stl", "STL, binary (ASCII too, read)", true, nullptr,
       [](const WriteJob& j) { writeStl(j.mesh, j.triangles, j.out); },
       [](const ReadJob& j) { return readStl(j.bytes, j.skipped); }},
      {Format::ply, "ply", "PLY, binary little-endian (ASCII too, read)", false, nullptr,
       [](const WriteJob& j) { writePly(j.mesh, j.out); },
       [](const ReadJob& j) { return readPly(j.bytes, j.skipped); }},
      {Format::off, "off", "OFF, text", false, nullptr,
       [](const WriteJob& j) { writeOff(j.mesh, j.out); },
       [](const ReadJob& j) { return readOff(j.bytes, j.skipped); }},
      {Format::glb, "glb", "glTF 2.0, binary", true, nullptr,
       [](const WriteJob& j) { writeGltf(j.mesh, j.triangles, &j.parts, true, j.out); },
       [](const ReadJob& j) { return readGltf(j.bytes, true, j.folder, j.skipped); }},
      {Format::gltf, "gltf", "glTF 2.0, JSON with the buffer embedded", true, nullptr,
       [](const WriteJob& j) { writeGltf(j.mesh, j.triangles, &j.parts, false, j.out); },
       [](const ReadJob& j) { return readGltf(j.bytes, false, j.folder, j.skipped); }},
      {Format::threeMf, "3mf", "3MF package", true, nullptr,
       [](const WriteJob& j) { write3mf(j.mesh, j.triangles, j.parts, j.out); },
       [](const ReadJob& j) { return read3mf(j.bytes, j.skipped); }},
  };
}

}  // namespace

const std::vector<FormatInfo>& formats() {
  static const std::vector<FormatInfo> rows = table();
  return rows;
}

const FormatInfo& formatInfo(Format format) {
  for (const FormatInfo& f : formats()) {
    if (f.format == format) return f;
  }
  return formats().front();  // not reached: every Format has its row
}

const FormatInfo* formatOf(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(u'.');
  if (dot < 0 || fileName.indexOf(u'/', dot) >= 0) return nullptr;
  const QString extension = fileName.mid(dot + 1).toLower();
  for (const FormatInfo& f : formats()) {
    if (extension == QLatin1String(f.extension)) return &f;
  }
  return nullptr;
}

QString formatList() {
  QString list;
  const std::vector<FormatInfo>& all = formats();
  for (size_t i = 0; i < all.size(); ++i) {
    if (i > 0) list += i + 1 == all.size() ? QStringLiteral(" or ") : QStringLiteral(", ");
    list += u'.' + QLatin1String(all[i].extension);
  }
  return list;
}

size_t nonEmptyFaces(const Mesh& mesh) {
  size_t count = 0;
  for (size_t f = 0; f < mesh.faceCount(); ++f) count += mesh.faceSize(f) > 0;
  return count;
}

void addFaceOrSkip(Mesh& mesh, const std::vector<uint32_t>& face, int32_t colour,
                   Skipped* skipped) {
  if (face.size() == 1) {
    ++skipped->points;
  } else if (face.size() == 2) {
    ++skipped->lines;
  } else if (!face.empty()) {
    mesh.addFace(face.data(), face.size(), colour);
  }
}
