// polygon and polygonC: a one-object model from coordinates typed on the command line. The
// values are checked to be numbers but copied into the file as typed ("1e3" stays "1e3").

#include "Failure.h"
#include "Numbers.h"
#include "OutputFile.h"
#include "Vandrel.h"

namespace {

// A checked value as it is written: its text without the white space around it.
QString valueText(const char* text) {
  readArgument(text);
  return QString::fromLocal8Bit(text).trimmed();
}

// Writes NAME.poly with the lead record line `lead` and one vertex "x y 1 1" per pair of
// values from argv[first] on.
void writePolygon(const char* name, const QString& lead, int first, int argc, char** argv) {
  const int values = argc - first;
  if (values == 0) throw UsageError(QStringLiteral("no coordinates given"));
  if (values % 2 != 0) {
    throw UsageError(
        QStringLiteral("odd number of coordinates (%1); they come in x y pairs").arg(values));
  }
  QStringList coordinates;
  for (int i = first; i < argc; ++i) coordinates << valueText(argv[i]);

  OutputFile out(QString::fromLocal8Bit(name) + QStringLiteral(".poly"));
  out.writeText(QStringLiteral("newObject\n%1\n").arg(lead));
  for (qsizetype i = 0; i < coordinates.size(); i += 2) {
    out.writeText(QStringLiteral("%1 %2 1 1\n").arg(coordinates[i], coordinates[i + 1]));
  }
  out.commit();
}

}  // namespace

void Vandrel::polygon(int argc, char** argv) {
  writePolygon(argv[2], QStringLiteral("-1 -1 2 1"), 3, argc, argv);
}

void Vandrel::polygonC(int argc, char** argv) {
  const QString lead =
      QStringLiteral("%1 %2 %3 1").arg(valueText(argv[3]), valueText(argv[4]), valueText(argv[5]));
  writePolygon(argv[2], lead, 6, argc, argv);
}
