// export and import: models out to other formats and in from them, through a mesh.

#include <QFile>
#include <QFileInfo>
#include <string>

#include "Console.h"
#include "Failure.h"
#include "Formats.h"
#include "MeshFile.h"
#include "OutputFile.h"
#include "Quote.h"
#include "Solid.h"
#include "Vandrel.h"

namespace {

ByteWriter writerTo(OutputFile& out) {
  return ByteWriter([&out](std::string_view bytes) { out.write(bytes); });
}

QString count(size_t n, const char* one, const char* many) {
  return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
}

}  // namespace

void Vandrel::exportFile(const ExportArguments& arguments) {
  const FormatInfo& format = formatInfo(arguments.format);
  const Solid solid = solidOf(readMesh(arguments.source + QStringLiteral(".poly")), arguments.weld,
                              format.triangles);
  const Mesh& mesh = solid.mesh;
  const Triangles& triangles = solid.triangles;
  OutputFile out(arguments.file);
  ByteWriter bytes = writerTo(out);
  if (format.companion == nullptr || mesh.colours.empty()) {
    format.write({mesh, triangles, solid.parts, bytes, nullptr, std::string()});
    bytes.flush();
    out.commit();
    return;
  }
  const QString file = arguments.file;
  const QString companionPath =
      file.left(file.lastIndexOf(u'.') + 1) + QLatin1String(format.companion);
  OutputFile companion(companionPath);
  ByteWriter companionBytes = writerTo(companion);
  format.write({mesh, triangles, solid.parts, bytes, &companionBytes,
                QFileInfo(companionPath).fileName().toStdString()});
  companionBytes.flush();
  bytes.flush();
  OutputFile::commitTogether(companion, out);
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
  const Neighbour neighbour = [&folder](const std::string& name, std::string* text) {
    QFile beside(folder + u'/' + QString::fromStdString(name));
    if (!beside.open(QIODevice::ReadOnly)) return false;
    *text = beside.readAll().toStdString();
    return true;
  };
  const std::string folderName = QFile::encodeName(folder).toStdString();
  try {
    mesh = formatInfo(arguments.format).read({bytes, neighbour, folderName, &skipped});
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
