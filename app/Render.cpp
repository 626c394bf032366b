// render: a picture of a model, and info: what is in it.

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstring>

#include "Console.h"
#include "Failure.h"
#include "Measure.h"
#include "MeshFile.h"
#include "Numbers.h"
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

void Vandrel::info(const InfoArguments& arguments) {
  const Measures m = measure(readMesh(arguments.source + QStringLiteral(".poly")), arguments.weld);
  auto number = [](double v) {
    char text[maxNumberLength];
    return QString::fromLatin1(text, formatNumber(v, text) - text);
  };
  QString text = QStringLiteral("objects: %1\nvertices: %2\n").arg(m.faces).arg(m.corners);
  text += QStringLiteral("bounds: ");
  if (m.hasBounds) {
    text += number(m.low.x) + u' ' + number(m.low.y) + u' ' + number(m.low.z) + u' ' +
            number(m.high.x) + u' ' + number(m.high.y) + u' ' + number(m.high.z);
  } else {
    text += QStringLiteral("none");
  }
  text += QStringLiteral("\narea: ") + number(m.area) + QStringLiteral("\nno-area: ") +
          QString::number(m.withoutArea) + QStringLiteral("\ncolours: ") +
          QString::number(m.colours);
  text += QStringLiteral("\nparts: %1\nopen-edges: %2\ntouching-edges: %3\ninward-faces: %4\n")
              .arg(m.parts)
              .arg(m.openEdges)
              .arg(m.touchingEdges)
              .arg(m.inwardFaces);
  text += m.closed ? QStringLiteral("closed: yes\nvolume: ") + number(m.volume)
                   : QStringLiteral("closed: no");
  print(text + u'\n');
}
