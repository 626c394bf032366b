#pragma once

#include <QStringView>
#include <optional>
#include <string_view>

// The one place where numbers are read and written, in model files and on the command line.

// A number is text that QString::toFloat accepts (which allows surrounding white space, a leading
// '+', "inf" and "nan"), or a decimal number that it refuses only because it is too small for a
// float; that reads as 0. Anything else, a number too large for a float included, is no number.
std::optional<float> readNumber(QStringView text);
// The same for UTF-8 text, without building a QString for the usual decimal numbers.
std::optional<float> readNumber(std::string_view text);

// Reads the field of a record line that starts at `first`: the text up to the next blank or tab
// or to `last`. Returns the end of the field.
const char* readField(const char* first, const char* last, std::optional<float>* value);

// The room formatNumber needs at `out`: the longest text and the bytes it may scribble past it.
constexpr int maxNumberLength = 24;

// Writes a value as model files hold it, exactly as QTextStream writes a double with its default
// settings: six significant digits, exponent notation when the decimal exponent is below -4 or at
// least 6, trailing zeros dropped, "inf", "-inf" and "nan" (whatever its sign) for the special
// values and 0 for minus zero. An exact tie at the sixth digit rounds away from zero. Returns the
// end of the text, which is not terminated.
char* formatNumber(double value, char* out);
