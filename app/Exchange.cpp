// export and import: models out to other formats and in from them, through a mesh.

#include <QFile>
#include <QFileInfo>
#include <string>

#include "Failure.h"
#include "Formats.h"
#include "ModelMesh.h"
#include "OutputFile.h"
#include "Parallel.h"
#include "Quote.h"
#include "Shells.h"
#include "Triangulate.h"
#include "Vandrel.h"

namespace {

// The OBJ file's materials beside it: the same name with .mtl for its extension.
QString materialPath(const QString& obj) {
  return obj.left(obj.lastIndexOf(u'.')) + QStringLiteral(".mtl");
}

ByteWriter writerTo(OutputFile& out) {
  return ByteWriter([&out](std::string_view bytes) { out.write(bytes); });
}

// The triangles of every face, turned so that closed shells face outward. The shells are
// found, and the faces triangulated, on two threads.
Triangles outwardTriangles(const Mesh& mesh) {
  const size_t faces = mesh.faceCount();
  const size_t split = faces * 2 / 5;  // the thread that finds the shells takes fewer faces
  Shells shells;
  Triangles first, second;
  inParallel(
      [&]() {
        shells = findShells(mesh);
        first = triangulate(mesh, 0, split);
      },
      [&]() { second = triangulate(mesh, split, faces); });
  first.corners.insert(first.corners.end(), second.corners.begin(), second.corners.end());
  first.face.insert(first.face.end(), second.face.begin(), second.face.end());
  reverse(first, shells.reversed);
  return first;
}

QString count(size_t n, const char* one, const char* many) {
  return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
}

}  // namespace

void Vandrel::exportFile(const ExportArguments& arguments) {
  loadFile(arguments.source);
  const Mesh mesh = meshOf(*model);
  model = std::make_unique<LNHHolder>();  // the mesh holds what is needed from here on
  OutputFile out(arguments.file);
  ByteWriter bytes = writerTo(out);
  switch (arguments.format) {
    case Format::obj: {
      if (mesh.colours.empty()) {
        writeObj(mesh, std::string(), bytes);
        break;
      }
      const QString mtlPath = materialPath(arguments.file);
      OutputFile mtl(mtlPath);
      ByteWriter materials = writerTo(mtl);
      writeMtl(mesh, materials);
      materials.flush();
      writeObj(mesh, QFileInfo(mtlPath).fileName().toStdString(), bytes);
      bytes.flush();
      OutputFile::commitTogether(mtl, out);
      return;
    }
    case Format::ply:
      writePly(mesh, bytes);
      break;
    case Format::off:
      writeOff(mesh, bytes);
      break;
    default: {
      const Triangles triangles = outwardTriangles(mesh);
      if (arguments.format == Format::stl) {
        writeStl(mesh, triangles, bytes);
      } else if (arguments.format == Format::threeMf) {
        write3mf(mesh, triangles, bytes);
      } else {
        writeGltf(mesh, triangles, arguments.format == Format::glb, bytes);
      }
    }
  }
  bytes.flush();
  out.commit();
}

void Vandrel::importFile(const ImportArguments& arguments) {
  const QString& path = arguments.file;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw RunError(QStringLiteral("cannot open ") + quoted(path) + QStringLiteral(": ") +
                   file.errorString());
  }
  const QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    throw RunError(QStringLiteral("cannot read ") + quoted(path) + QStringLiteral(": ") +
                   file.errorString());
  }
  const std::string_view bytes(content.constData(), size_t(content.size()));
  const QString folder = QFileInfo(path).path();
  Skipped skipped;
  Mesh mesh;
  try {
    switch (arguments.format) {
      case Format::obj:
        mesh = readObj(
            bytes,
            [&folder](const std::string& name, std::string* text) {
              QFile neighbour(folder + u'/' + QString::fromStdString(name));
              if (!neighbour.open(QIODevice::ReadOnly)) return false;
              *text = neighbour.readAll().toStdString();
              return true;
            },
            &skipped);
        break;
      case Format::stl:
        mesh = readStl(bytes, &skipped);
        break;
      case Format::ply:
        mesh = readPly(bytes, &skipped);
        break;
      case Format::off:
        mesh = readOff(bytes, &skipped);
        break;
      case Format::glb:
      case Format::gltf:
        mesh = readGltf(bytes, arguments.format == Format::glb,
                        QFile::encodeName(folder).toStdString(), &skipped);
        break;
      case Format::threeMf:
        mesh = read3mf(bytes, &skipped);
        break;
    }
  } catch (const FormatError& error) {
    QString where = quotedIfNeeded(path);
    if (error.line > 0) where += u':' + QString::number(error.line);
    throw RunError(where + QStringLiteral(": ") + escaped(error.what));
  }
  model = std::make_unique<LNHHolder>();
  addToModel(mesh, *model);
  writeFile(arguments.output);
  QStringList parts;
  if (skipped.points > 0) parts << count(skipped.points, "point", "points");
  if (skipped.lines > 0) parts << count(skipped.lines, "line", "lines");
  if (!parts.isEmpty()) {
    report(quotedIfNeeded(path) + QStringLiteral(": skipped ") +
           parts.join(QStringLiteral(" and ")) + QStringLiteral(" (not faces)"));
  }
}
