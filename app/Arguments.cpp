#include "Arguments.h"

#include <QByteArray>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Failure.h"
#include "Keywords.h"
#include "Numbers.h"
#include "Quote.h"
#include "Solid.h"

QString modelName(const char* text) {
  if (*text == '\0') throw UsageError(QStringLiteral("an empty name names no file"));
  if (*text == '-') {
    throw UsageError(
        QStringLiteral("the name ") + quoted(std::string_view(text)) +
        QStringLiteral(" begins with '-', as options do; for a file of that name write ") +
        quoted("./" + std::string(text)));
  }
  const QString name = QString::fromUtf8(text);
  if (name.toUtf8() != QByteArray(text)) {
    throw UsageError(QStringLiteral("the name ") + quoted(std::string_view(text)) +
                     QStringLiteral(" is not valid UTF-8"));
  }
  return name;
}

float readArgument(const char* text) {
  const QString string = QString::fromLocal8Bit(text);
  const std::optional<float> value = readNumber(string);
  const QString shown = quotedField(text);
  if (!value) {
    bool isDouble = false;
    string.toDouble(&isDouble);
    throw UsageError(shown + (isDouble ? QStringLiteral(" is out of range")
                                       : QStringLiteral(" is not a number")));
  }
  if (!std::isfinite(*value)) throw UsageError(shown + QStringLiteral(" is not a finite number"));
  return *value;
}

namespace {

// A checked value as it is written: its text without the white space around it.
QString valueText(const char* text) {
  readArgument(text);
  return QString::fromUtf8(text).trimmed();
}

}  // namespace

PolygonArguments polygonArguments(Words words, bool withLead) {
  PolygonArguments arguments;
  arguments.name = modelName(words[0]);
  int first = 1;
  arguments.lead = QStringLiteral("-1 -1 2 1");
  if (withLead) {
    arguments.lead = valueText(words[1]) + u' ' + valueText(words[2]) + u' ' + valueText(words[3]) +
                     QStringLiteral(" 1");
    first = 4;
  }
  const int values = words.count - first;
  if (values == 0) throw UsageError(QStringLiteral("no coordinates given"));
  if (values % 2 != 0) {
    throw UsageError(
        QStringLiteral("odd number of coordinates (%1); they come in x y pairs").arg(values));
  }
  for (int i = first; i < words.count; ++i) arguments.coordinates << valueText(words[i]);
  return arguments;
}

CircleArguments circleArguments(Words words) {
  CircleArguments arguments;
  arguments.name = modelName(words[0]);
  arguments.radius = readArgument(words[1]);
  if (!(arguments.radius > 0)) {
    throw UsageError(QStringLiteral("the radius must be positive, not ") + quotedField(words[1]));
  }
  const float segments = readArgument(words[2]);
  if (segments != std::floor(segments) || segments < 3 || segments > 1e7f) {
    throw UsageError(
        QStringLiteral("the segments must be a whole number from 3 to 10000000, not ") +
        quotedField(words[2]));
  }
  arguments.segments = static_cast<long>(segments);
  arguments.lead = QStringLiteral("-1 -1 2 1");
  if (words.count == 6) {
    arguments.lead = valueText(words[3]) + u' ' + valueText(words[4]) + u' ' + valueText(words[5]) +
                     QStringLiteral(" 1");
  } else if (words.count != 3) {
    throw UsageError(QStringLiteral("a colour takes three values, R G B"));
  }
  return arguments;
}

AssembleArguments assembleArguments(Words words) {
  AssembleArguments arguments;
  for (int i = 0; i + 1 < words.count; ++i) arguments.inputs << modelName(words[i]);
  arguments.output = modelName(words[words.count - 1]);
  return arguments;
}

BooleanArguments booleanArguments(Words words, ExactSolid::Operation operation) {
  BooleanArguments arguments{operation, {}, {}};
  for (int i = 0; i + 1 < words.count; ++i) arguments.inputs << modelName(words[i]);
  arguments.output = modelName(words[words.count - 1]);
  return arguments;
}

TransformArguments transformArguments(Words words, bool create) {
  TransformArguments arguments;
  arguments.output = modelName(words[0]);
  arguments.source = create ? modelName(words[1]) : arguments.output;
  arguments.steps = parseKeywords(words, create ? 2 : 1, Transformation());
  return arguments;
}

ExtrudeArguments extrudeArguments(Words words) {
  ExtrudeArguments arguments{modelName(words[0]), modelName(words[1]), readArgument(words[2])};
  if (arguments.depth == 0) {
    throw UsageError(QStringLiteral("the depth must not be zero: a prism without volume"));
  }
  return arguments;
}

RotArguments rotArguments(Words words) {
  RotArguments arguments{modelName(words[0]), modelName(words[1]), {}};
  Sweep& sweep = arguments.sweep;
  for (int i = 0; i < 3; ++i) sweep.axis[i] = readArgument(words[2 + i]);
  for (int i = 0; i < 3; ++i) sweep.centre[i] = readArgument(words[5 + i]);
  sweep.count = readArgument(words[8]);
  sweep.total = readArgument(words[9]);
  if (sweep.axis[0] == 0 && sweep.axis[1] == 0 && sweep.axis[2] == 0) {
    throw UsageError(QStringLiteral("the axis direction must not be zero"));
  }
  if (!(sweep.count > 0)) {
    throw UsageError(QStringLiteral("the copy count must be positive, not ") +
                     quotedField(words[8]));
  }
  if (!std::isfinite(sweep.total / sweep.count)) {
    throw UsageError(QStringLiteral("the step ") + quotedField(words[9]) + QStringLiteral(" / ") +
                     quotedField(words[8]) + QStringLiteral(" is too large"));
  }
  return arguments;
}

RevolveArguments revolveArguments(Words words) {
  RevolveArguments arguments{modelName(words[0]), modelName(words[1]), {}, {}, 0, 0};
  for (int i = 0; i < 3; ++i) arguments.axis[i] = readArgument(words[2 + i]);
  for (int i = 0; i < 3; ++i) arguments.centre[i] = readArgument(words[5 + i]);
  const float* a = arguments.axis;
  if (a[0] == 0 && a[1] == 0 && a[2] == 0) {
    throw UsageError(QStringLiteral("the axis direction must not be zero"));
  }
  const float degrees = readArgument(words[9]);
  if (!(degrees > 0 && degrees <= 360)) {
    throw UsageError(QStringLiteral("the angle must be more than 0 and at most 360, not ") +
                     quotedField(words[9]));
  }
  arguments.degrees = degrees;
  const float steps = readArgument(words[8]);
  const float fewest = degrees == 360 ? 3 : 1;
  if (steps != std::floor(steps) || steps < fewest || steps > 1e6f) {
    throw UsageError(
        QStringLiteral("the steps must be a whole number from %1 to 1000000, not ").arg(fewest) +
        quotedField(words[8]));
  }
  arguments.steps = static_cast<long>(steps);
  return arguments;
}

ClipArguments clipArguments(Words all) {
  std::vector<char*> positional;
  bool cap = false;
  for (int i = 0; i < all.count; ++i) {
    if (std::strcmp(all[i], "--cap") == 0) {
      cap = true;
    } else {
      positional.push_back(all.first[i]);
    }
  }
  if (positional.size() < 8) throw UsageError(QStringLiteral("too few arguments"));
  if (positional.size() > 8) {
    throw UsageError(QStringLiteral("unexpected argument ") + quotedField(positional[8]));
  }
  const Words words{positional.data(), 8};
  ClipArguments arguments{modelName(words[0]), modelName(words[1]), {}, cap};
  for (int i = 0; i < 3; ++i) arguments.plane.normal[i] = readArgument(words[2 + i]);
  for (int i = 0; i < 3; ++i) arguments.plane.point[i] = readArgument(words[5 + i]);
  const float* n = arguments.plane.normal;
  if (n[0] == 0 && n[1] == 0 && n[2] == 0) {
    throw UsageError(QStringLiteral("the normal must not be zero: a plane needs a direction"));
  }
  return arguments;
}

namespace {

Format fileFormat(const QString& file) {
  const FormatInfo* format = formatOf(file);
  if (format == nullptr) {
    throw UsageError(QStringLiteral("the format of ") + quoted(file) +
                     QStringLiteral(" is not known: name a file ending in ") + formatList());
  }
  return format->format;
}

// The value of --weld: a distance, not negative.
double weldDistance(const char* text) {
  const float distance = readArgument(text);
  if (distance < 0) {
    throw UsageError(QStringLiteral("the weld distance ") + quotedField(text) +
                     QStringLiteral(" is negative"));
  }
  return distance;
}

// Options after the arguments at words[first] on: only --weld DISTANCE.
double weldOption(Words words, int first) {
  double weld = defaultWeld;
  for (int i = first; i < words.count; i += 2) {
    if (QString::fromUtf8(words[i]) != QLatin1String("--weld")) {
      throw UsageError(QStringLiteral("unknown option ") + quotedField(words[i]));
    }
    if (i + 1 == words.count) throw UsageError(QStringLiteral("--weld needs a value"));
    weld = weldDistance(words[i + 1]);
  }
  return weld;
}

}  // namespace

ExportArguments exportArguments(Words words) {
  const QString file = modelName(words[1]);
  return {modelName(words[0]), file, fileFormat(file), weldOption(words, 2)};
}

ViewArguments viewArguments(Words words) {
  const QString page = modelName(words[1]);
  if (!page.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) &&
      !page.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)) {
    throw UsageError(QStringLiteral("the page ") + quoted(page) +
                     QStringLiteral(" is not an .html file"));
  }
  return {modelName(words[0]), page, weldOption(words, 2)};
}

InfoArguments infoArguments(Words words) { return {modelName(words[0]), weldOption(words, 1)}; }

ImportArguments importArguments(Words words) {
  const QString file = modelName(words[0]);
  return {file, fileFormat(file), modelName(words[1])};
}

RenderArguments renderArguments(Words words) {
  RenderArguments arguments;
  arguments.source = modelName(words[0]);
  arguments.picture = modelName(words[1]);
  const QString extension =
      arguments.picture.mid(arguments.picture.lastIndexOf(u'.') + 1).toLower();
  if (!arguments.picture.contains(u'.') ||
      (extension != QLatin1String("png") && extension != QLatin1String("svg"))) {
    throw UsageError(QStringLiteral("the kind of ") + quoted(arguments.picture) +
                     QStringLiteral(" is not known: name a file ending in .png or .svg"));
  }
  arguments.svg = extension == QLatin1String("svg");
  arguments.weld = defaultWeld;
  for (int i = 2; i < words.count; i += 2) {
    const QString option = QString::fromUtf8(words[i]);
    if (option != QLatin1String("--view") && option != QLatin1String("--size") &&
        option != QLatin1String("--weld")) {
      throw UsageError(QStringLiteral("unknown option ") + quotedField(words[i]));
    }
    if (i + 1 == words.count) throw UsageError(option + QStringLiteral(" needs a value"));
    const QString value = QString::fromUtf8(words[i + 1]);
    if (option == QLatin1String("--weld")) {
      arguments.weld = weldDistance(words[i + 1]);
      continue;
    }
    if (option == QLatin1String("--view")) {
      if (!viewOf(value, &arguments.view)) {
        throw UsageError(QStringLiteral("the view ") + quotedField(words[i + 1]) +
                         QStringLiteral(" is none of iso, top, front, side or AZIMUTH,ELEVATION"));
      }
      continue;
    }
    const QStringList sides = value.split(u'x');
    bool okWidth = false, okHeight = false;
    const int width = sides.size() == 2 ? sides[0].toInt(&okWidth) : 0;
    const int height = sides.size() == 2 ? sides[1].toInt(&okHeight) : 0;
    if (!okWidth || !okHeight || width < 1 || height < 1 || width > 16384 || height > 16384) {
      throw UsageError(QStringLiteral("the size ") + quotedField(words[i + 1]) +
                       QStringLiteral(" is not WIDTHxHEIGHT, each from 1 to 16384"));
    }
    arguments.size = QSize(width, height);
  }
  return arguments;
}
