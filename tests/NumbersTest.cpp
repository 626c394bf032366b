// Numbers are read as QString::toFloat reads them and written as QTextStream writes them: the
// fast code is compared with Qt's over millions of values.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QTextStream>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "../bench/ModelGenerator.h"
#include "Arguments.h"
#include "Failure.h"
#include "Numbers.h"

namespace {

std::string qtText(double value) {
  static QString text;
  static QTextStream out(&text);
  text.clear();
  out << value;
  out.flush();
  return text.toStdString();
}

std::string fastText(double value) {
  char buffer[maxNumberLength];
  return std::string(buffer, formatNumber(value, buffer));
}

// The rule, spelled with Qt and long double: what toFloat accepts, and decimal numbers too small
// for a float, however they are spelled, which read as 0.
std::optional<float> qtRead(const std::string& text) {
  const QString string = QString::fromStdString(text);
  bool ok = false;
  const float value = string.toFloat(&ok);
  if (ok) return value;
  const double wide = string.toDouble(&ok);
  if (ok && wide != 0 && std::fabs(wide) < FLT_MIN) return 0.0f;
  static const QRegularExpression decimal(
      QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
  if (!ok && decimal.match(string).hasMatch()) {
    const std::string trimmed = string.trimmed().toStdString();
    const char* first = trimmed.data() + (trimmed[0] == '+');
    long double tiny = 1;
    std::from_chars(first, trimmed.data() + trimmed.size(), tiny);
    if (tiny != 0 && std::fabs(tiny) < FLT_MIN) return 0.0f;
  }
  return std::nullopt;
}

bool sameBits(std::optional<float> a, std::optional<float> b) {
  if (!a || !b || std::isnan(*a) || std::isnan(*b)) return a.has_value() == b.has_value();
  return std::memcmp(&*a, &*b, sizeof(float)) == 0;
}

// Compares writing value, and reading the text back, with Qt; counts what it compared.
long mismatches = 0;
long compared = 0;
void check(double value) {
  const std::string expected = qtText(value);
  const std::string actual = fastText(value);
  ++compared;
  if (actual != expected && ++mismatches <= 10) {
    ADD_FAILURE() << "writing " << value << ": " << actual << ", Qt " << expected;
  }
}
void checkRead(const std::string& text) {
  ++compared;
  if (!sameBits(readNumber(std::string_view(text)), qtRead(text)) && ++mismatches <= 10) {
    ADD_FAILURE() << "reading '" << text << "'";
  }
}

float floatFromBits(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Every float of the binade [2^e, 2^(e+1)), both signs.
void sweepBinade(int e) {
  const uint32_t first = static_cast<uint32_t>(e + 127) << 23;
  for (uint32_t bits = first; bits < first + (1u << 23); ++bits) {
    check(floatFromBits(bits));
    if ((bits & 0xff) == 0) check(-floatFromBits(bits));
  }
}

}  // namespace

TEST(FormatNumber, SpecialValuesAndTies) {
  const double specials[] = {
      0.0,      -0.0,         double(NAN), -double(NAN),  double(INFINITY), 1.0,
      -0.5,     0.000025,     1234567.0,   506.3125,      999998.5,         999999.5,
      99999.95, 0.0001,       0.00001,     0.00009999995, 9.765625e-4,      1e21,
      1e22,     1e100,        5e-324,      DBL_MAX,       DBL_MIN,          FLT_MAX,
      FLT_MIN,  FLT_TRUE_MIN, 1.0 / 3,     1e23};
  for (double value : specials) {
    check(value);
    check(-value);
  }
  EXPECT_EQ(fastText(506.3125), "506.313");
  EXPECT_EQ(fastText(999998.5), "999999");
  EXPECT_EQ(fastText(-0.0), "0");
  EXPECT_EQ(fastText(-double(NAN)), "nan");
  EXPECT_EQ(fastText(1234567), "1.23457e+06");
  EXPECT_EQ(fastText(0.000025), "2.5e-05");
}

TEST(FormatNumber, WholeFloatBinadesMatchQt) {
  mismatches = compared = 0;
  for (int e : {0, 19, -14}) sweepBinade(e);  // from 1, from 524288 (to 1e6), from 6.1e-5
  EXPECT_EQ(mismatches, 0) << "of " << compared;
  EXPECT_GT(compared, 25000000);
}

TEST(FormatNumber, RandomFloatsAndDoublesMatchQt) {
  mismatches = compared = 0;
  uint64_t state = 12345;
  for (int i = 0; i < 1000000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    check(floatFromBits(static_cast<uint32_t>(state >> 32)));
    double value;
    std::memcpy(&value, &state, sizeof value);
    check(value);
    check(static_cast<double>(floatFromBits(static_cast<uint32_t>(state >> 32))) * 1.1);
  }
  EXPECT_EQ(mismatches, 0) << "of " << compared;
}

TEST(ReadNumber, ModelValuesMatchQtBothWays) {
  mismatches = compared = 0;
  ModelGenerator generator(1);  // the benchmark's model
  char text[32];
  for (int i = 0; i < 2000000 * 3; ++i) {
    generator.coordinate(text, sizeof text);
    checkRead(text);
    if (i % 4 == 0) check(*readNumber(std::string_view(text)));
  }
  EXPECT_EQ(mismatches, 0) << "of " << compared;
}

TEST(ReadNumber, WrittenValuesAndOddSpellingsMatchQt) {
  mismatches = compared = 0;
  // Spellings separated by '|', the empty one and a blank among them.
  const QString zeros(400, u'0');
  const QString spellings =
      QStringLiteral(
          "1.5|+2|-3e2|.5|-.5|5.|+.5|1e+05|1E5|1e-50|-1e-50|1e-400|1e-46|1e-45|1e39|-1e39|1e400|"
          "inf|-inf|+inf|Inf|nan|NaN|-nan|0x10|1,5|| |+-1|-+1|++1|--1|1e|e1|.|-|+|1..2|1e5.5|"
          "00012|-0|1e+|1e-|1_000|infinity|-infinity|nan(1)|\uff11|1\u00a0|3.4028235e38|"
          "3.4028234e38|0.000000000000000000000000000000000000000000001|"
          "123456789012345678901234567890|1.00000005960464477539062500000000001|-1e-400|1e-400 ") +
      // Too small for a float however spelled: without an exponent, with one that leaves it
      // small, after leading zeros; and what is not small or not a number.
      "|0." + zeros + "1|-." + zeros + "1e5|" + zeros + "." + zeros + "7|1" + zeros + "e-800|0." +
      zeros + "1e400|1" + zeros + "e-200|0." + zeros + "|0." + zeros + "1x";
  for (const QString& text : spellings.split(u'|')) checkRead(text.toStdString());
  uint64_t state = 99;
  char buffer[64];
  for (int i = 0; i < 1000000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const float f = floatFromBits(static_cast<uint32_t>(state >> 33) | 0x00800000u);
    checkRead(fastText(f));
    // Halfway between two floats: a double rounding trap for readers that round twice.
    const double half = (double(f) + double(std::nextafter(f, INFINITY))) / 2;
    std::snprintf(buffer, sizeof buffer, "%.17g", half);
    checkRead(buffer);
    std::snprintf(buffer, sizeof buffer, "%+.9e", -half);
    checkRead(buffer);
    // Exactly halfway, and a last digit off, in few enough digits for the quick reader.
    const float large = std::ldexp(1.0f + float(i % 8388608) / 8388608, 17 + i % 7);
    const double exactHalf = (double(large) + double(std::nextafter(large, INFINITY))) / 2;
    std::snprintf(buffer, sizeof buffer, "%.7f", exactHalf);
    checkRead(buffer);
    buffer[std::strlen(buffer) - 1] ^= 1;
    checkRead(buffer);
  }
  EXPECT_EQ(mismatches, 0) << "of " << compared;
}

TEST(ReadArgument, RefusesNonFiniteValues) {
  EXPECT_EQ(readArgument("2.5"), 2.5f);
  EXPECT_EQ(readArgument("1e-50"), 0.0f);
  EXPECT_THROW(readArgument("inf"), UsageError);
  EXPECT_THROW(readArgument("nan"), UsageError);
  EXPECT_THROW(readArgument("1e39"), UsageError);
  EXPECT_THROW(readArgument("x"), UsageError);
}
