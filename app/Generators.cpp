// polygon and polygonC: a one-object model from coordinates typed on the command line. The
// values are checked to be numbers but copied into the file as typed ("1e3" stays "1e3").

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
