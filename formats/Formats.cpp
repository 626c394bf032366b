#include "Formats.h"

namespace {

struct Extension {
  const char* text;
  Format format;
};

const Extension extensions[] = {
    {"obj", Format::obj}, {"stl", Format::stl},   {"ply", Format::ply},    {"off", Format::off},
    {"glb", Format::glb}, {"gltf", Format::gltf}, {"3mf", Format::threeMf}};

}  // namespace

bool formatOf(const QString& fileName, Format* format) {
  const qsizetype dot = fileName.lastIndexOf(u'.');
  if (dot < 0 || fileName.indexOf(u'/', dot) >= 0) return false;
  const QString extension = fileName.mid(dot + 1).toLower();
  for (const Extension& e : extensions) {
    if (extension == QLatin1String(e.text)) {
      *format = e.format;
      return true;
    }
  }
  return false;
}

QString formatList() { return QStringLiteral(".obj, .stl, .ply, .off, .glb, .gltf or .3mf"); }

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
