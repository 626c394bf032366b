// export and import: models out to other formats and in from them, through a mesh.

#include <QFile>
#include <QFileInfo>
#include <string>

#include "Beside.h"
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
  if (QFileInfo(path).exists() && !QFileInfo(path).isFile()) {
    throw RunError(QStringLiteral("cannot read ") + quoted(path) +
                   QStringLiteral(": not a regular file"));
  }
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
  const std::string folderName = QFile::encodeName(folder).toStdString();
  Skipped skipped;
  Mesh mesh;
  // Material libraries only from the file's own folder; one outside it is passed over, with
  // a notice.
  const Neighbour neighbour = [&](const std::string& name, std::string* text) {
    std::string found, why;
    if (!besideFile(folderName, name, &found, &why)) {
      if (why != "not found") {
        report(quotedIfNeeded(path) + QStringLiteral(": the material library ") +
               quoted(std::string_view(name)) + QStringLiteral(" is not read: ") +
               QString::fromStdString(why));
      }
      return false;
    }
    QFile beside(QFile::decodeName(found.c_str()));
    if (!beside.open(QIODevice::ReadOnly)) return false;
    *text = beside.readAll().toStdString();
    return true;
  };
  try {
    mesh = formatInfo(arguments.format).read({bytes, neighbour, folderName, &skipped});
  } catch (const FormatError& error) {
    QString where = quotedIfNeeded(path);
    if (error.line > 0) where += u':' + QString::number(error.line);
    QString message = where + QStringLiteral(": ") + escaped(error.what);
    if (error.echoes) message += u' ' + quotedField(error.word);
    throw RunError(message);
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
