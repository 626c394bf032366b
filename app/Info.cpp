// info: what is in a model.

#include "Info.h"

#include "Console.h"
#include "MeshFile.h"
#include "Numbers.h"
#include "Vandrel.h"

QString infoText(const Measures& m) {
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
  return text + u'\n';
}

void Vandrel::info(const InfoArguments& arguments) {
  print(infoText(measure(readMesh(arguments.source + QStringLiteral(".poly")), arguments.weld)));
}
