#pragma once

#include <QStringView>
#include <QTextStream>
#include <optional>

// The one place where numbers are read and written, on the command line and in model files.

// A number is text that QString::toFloat accepts (which allows surrounding white space, a leading
// '+', "inf" and "nan"), or a decimal number that it refuses only because it is too small for a
// float; that reads as 0. Anything else, a number too large for a float included, is no number.
std::optional<float> readNumber(QStringView text);

// A command-line value: a finite number. Anything else is a UsageError that names the text.
float readArgument(const char* text);

// Writes a value as model files hold it: six significant digits, the shorter of fixed and
// exponent notation, "inf" and "nan" for the special values, and 0 for minus zero.
inline void writeNumber(QTextStream& out, double value) { out << value; }

// Writes one record line "x y z w" and its line feed.
inline void writeRecord(QTextStream& out, double x, double y, double z, double w) {
  writeNumber(out, x);
  out << ' ';
  writeNumber(out, y);
  out << ' ';
  writeNumber(out, z);
  out << ' ';
  writeNumber(out, w);
  out << '\n';
}
