// polygon and polygonC: a one-object model from coordinates typed on the command line. The
// values are checked to be numbers but copied into the file as typed ("1e3" stays "1e3").

#include <cmath>
#include <string>

#include "ModelText.h"
#include "OutputFile.h"
#include "Vandrel.h"

// Writes NAME.poly with the lead record line and one vertex "x y 1 1" per pair of values.
void Vandrel::polygon(const PolygonArguments& arguments) {
  OutputFile out(arguments.name + QStringLiteral(".poly"));
  out.writeText(QStringLiteral("newObject\n") + arguments.lead + u'\n');
  const QStringList& values = arguments.coordinates;
  for (qsizetype i = 0; i + 1 < values.size(); i += 2) {
    out.writeText(values[i] + u' ' + values[i + 1] + QStringLiteral(" 1 1\n"));
  }
  out.commit();
}

// Writes NAME.poly with the lead record line and SEGMENTS vertices "x y 1 1" on the circle,
// counter-clockwise from (RADIUS, 0). Values that rounding leaves a hair off zero are zero, so
// that the quarter points are exact.
void Vandrel::circle(const CircleArguments& arguments) {
  OutputFile out(arguments.name + QStringLiteral(".poly"));
  out.writeText(QStringLiteral("newObject\n") + arguments.lead + u'\n');
  std::string text;
  const double r = arguments.radius;
  for (long i = 0; i < arguments.segments; ++i) {
    const double angle =
        2 * M_PI * static_cast<double>(i) / static_cast<double>(arguments.segments);
    double x = r * std::cos(angle), y = r * std::sin(angle);
    if (std::fabs(x) < 1e-12 * r) x = 0;
    if (std::fabs(y) < 1e-12 * r) y = 0;
    appendRecord(text, x, y, 1, 1);
    if (text.size() >= (1 << 16)) {
      out.write(text);
      text.clear();
    }
  }
  out.write(text);
  out.commit();
}
