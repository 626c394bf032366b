// render: a picture of a model.

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstring>

#include "Console.h"
#include "Failure.h"
#include "MeshFile.h"
#include "OutputFile.h"
#include "Parallel.h"
#include "Solid.h"
#include "Vandrel.h"

void Vandrel::render(const RenderArguments& arguments) {
  const Solid solid =
      solidOf(readMesh(arguments.source + QStringLiteral(".poly")), arguments.weld, true);
  const Picture picture(solid.mesh, solid.triangles, arguments.view, arguments.size);
  QBuffer bytes;
  bytes.open(QIODevice::WriteOnly);
  if (arguments.svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&bytes);
    svg.setSize(arguments.size);
    svg.setViewBox(QRect(QPoint(0, 0), arguments.size));
    svg.setResolution(96);  // CSS pixels: a browser shows it at the size given
    svg.setTitle(QStringLiteral("vandrel"));
    QPainter painter(&svg);
    picture.paint(painter);
  } else {
    // The upper and the lower half drawn on two threads, each into an image of its own.
    const int width = arguments.size.width(), height = arguments.size.height();
    const int split = height / 2;
    QImage image(arguments.size, QImage::Format_RGB32);
    QImage lower(width, height - split, QImage::Format_RGB32);
    if (image.isNull() || lower.isNull()) {
      throw RunError(QStringLiteral("no memory for a picture of that size"));
    }
    inParallel([&]() { picture.raster(image, 0); }, [&]() { picture.raster(lower, split); });
    for (int y = split; y < height; ++y) {
      std::memcpy(image.scanLine(y), lower.constScanLine(y - split), size_t(image.bytesPerLine()));
    }
    if (!image.save(&bytes, "PNG")) throw RunError(QStringLiteral("cannot make the PNG picture"));
  }
  OutputFile out(arguments.picture);
  out.write(std::string_view(bytes.data().constData(), size_t(bytes.data().size())));
  out.commit();
}
