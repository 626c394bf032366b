// export and import: models out to other formats and in from them, through a mesh.

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <string>

#include "Console.h"
#include "Failure.h"
#include "Formats.h"
#include "MeshFile.h"
#include "ModelText.h"
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

// Writes the model file of a mesh, as the model writer would write the model that has an
// object per face: "newObject", the lead record (the face's colour and 1, or -1 -1 2 1), then
// the vertices with w = 1. Straight from the mesh, a batch of faces at a time formatted on two
// threads, so that no model of millions of objects is built on the way.
void writeMeshModel(const Mesh& mesh, const QString& path) {
  OutputFile out(path);
  auto format = [&mesh](std::string& result, size_t first, size_t last) {
    // Made in a string of this thread's own, not next to the other thread's (see runPipeline).
    std::string text;
    text.swap(result);
    for (size_t f = first; f < last; ++f) {
      text += "newObject\n";
      const int32_t c = mesh.faceColour[f];
      if (c == Mesh::noColour) {
        text += "-1 -1 2 1\n";
      } else {
        const Colour& colour = mesh.colours[size_t(c)];
        appendRecord(text, colour.red, colour.green, colour.blue, 1);
      }
      const uint32_t* v = mesh.face(f);
      for (uint32_t i = 0; i < mesh.faceSize(f); ++i) {
        const Position& p = mesh.positions[v[i]];
        appendRecord(text, p.x, p.y, p.z, 1);
      }
    }
    text.swap(result);
  };
  constexpr size_t batch = 1 << 15;
  std::string text[2];
  for (size_t first = 0; first < mesh.faceCount(); first += 2 * batch) {
    const size_t middle = std::min(first + batch, mesh.faceCount());
    const size_t last = std::min(first + 2 * batch, mesh.faceCount());
    inParallel([&]() { format(text[0], first, middle); }, [&]() { format(text[1], middle, last); });
    for (std::string& t : text) {
      out.write(t);
      t.clear();
    }
  }
  out.commit();
}

QString count(size_t n, const char* one, const char* many) {
  return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
}

}  // namespace

void Vandrel::exportFile(const ExportArguments& arguments) {
  const Mesh mesh = readMesh(arguments.source + QStringLiteral(".poly"));
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
  writeMeshModel(mesh, arguments.output + QStringLiteral(".poly"));
  QStringList parts;
  if (skipped.points > 0) parts << count(skipped.points, "point", "points");
  if (skipped.lines > 0) parts << count(skipped.lines, "line", "lines");
  if (!parts.isEmpty()) {
    report(quotedIfNeeded(path) + QStringLiteral(": skipped ") +
           parts.join(QStringLiteral(" and ")) + QStringLiteral(" (not faces)"));
  }
}
