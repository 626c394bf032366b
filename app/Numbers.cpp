#include "Numbers.h"

#include <QRegularExpression>
#include <QString>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "Failure.h"

namespace {

// QString::toDouble refuses a decimal number whose value is too small even for a double; such
// text is still a number, one that reads as 0 as a float.
bool underflowsDouble(QStringView text) {
  static const QRegularExpression decimal(
      QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)[eE][+-]?\\d+\\s*$"));
  if (!decimal.match(text).hasMatch()) return false;
  const QByteArray latin = text.toLatin1();
  errno = 0;
  const double value = std::strtod(latin.constData(), nullptr);
  return errno == ERANGE && std::fabs(value) < 1.0;
}

}  // namespace

std::optional<float> readNumber(QStringView text) {
  bool ok = false;
  const float value = text.toFloat(&ok);
  if (ok) return value;
  // toFloat also refuses a double that is too small for a float, and reads it as 0.
  const double wide = text.toDouble(&ok);
  if (ok ? std::isfinite(wide) && std::fabs(wide) < std::numeric_limits<float>::min()
         : underflowsDouble(text)) {
    return 0.0f;
  }
  return std::nullopt;
}

float readArgument(const char* text) {
  const QString string = QString::fromLocal8Bit(text);
  const std::optional<float> value = readNumber(string);
  if (!value) {
    bool isDouble = false;
    string.toDouble(&isDouble);
    throw UsageError(isDouble ? QStringLiteral("'%1' is out of range").arg(string)
                              : QStringLiteral("'%1' is not a number").arg(string));
  }
  if (!std::isfinite(*value)) {
    throw UsageError(QStringLiteral("'%1' is not a finite number").arg(string));
  }
  return *value;
}
