// view: a web page that shows a model in 3D.

#include <QFileInfo>
#include <string>

#include "Formats.h"
#include "Info.h"
#include "MeshFile.h"
#include "OutputFile.h"
#include "Page.h"
#include "Solid.h"
#include "Vandrel.h"

void Vandrel::view(const ViewArguments& arguments) {
  Mesh mesh = readMesh(arguments.source + QStringLiteral(".poly"));
  const QString figures = infoText(measure(mesh, arguments.weld));
  const Solid solid = solidOf(std::move(mesh), arguments.weld, true);
  std::string glb;
  ByteWriter bytes([&glb](std::string_view chunk) { glb += chunk; });
  // One mesh: the page draws the model in one call per colour, however many solids it has.
  writeGltf(solid.mesh, solid.triangles, nullptr, true, bytes);
  bytes.flush();

  PageContent content{QFileInfo(arguments.source).fileName(), glb, {}};
  for (const QString& line : figures.split(u'\n', Qt::SkipEmptyParts)) {
    const qsizetype colon = line.indexOf(QLatin1String(": "));
    content.figures.emplace_back(line.left(colon), line.mid(colon + 2));
  }
  OutputFile out(arguments.page);
  out.write(viewPage(content));
  out.commit();
}
