#include <gtest/gtest.h>

#include <cmath>

#include "Failure.h"
#include "Numbers.h"

TEST(ReadNumber, AcceptsWhatToFloatAccepts) {
  EXPECT_EQ(readNumber(u"1.5"), 1.5f);
  EXPECT_EQ(readNumber(u"+2"), 2.0f);
  EXPECT_EQ(readNumber(u" -3e2 "), -300.0f);
  EXPECT_EQ(readNumber(u".5"), 0.5f);
  EXPECT_EQ(readNumber(u"inf"), INFINITY);
  EXPECT_EQ(readNumber(u"-inf"), -INFINITY);
  EXPECT_TRUE(std::isnan(readNumber(u"nan").value()));
}

TEST(ReadNumber, NumbersTooSmallForAFloatReadAsZero) {
  for (const char16_t* text : {u"1e-50", u"-1e-50", u"1e-400", u"1e-46"}) {
    const std::optional<float> value = readNumber(text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, 0.0f);
    EXPECT_FALSE(std::signbit(*value));
  }
  EXPECT_GT(readNumber(u"1e-45").value(), 0.0f);
}

TEST(ReadNumber, RefusesTextAndNumbersTooLarge) {
  for (const char16_t* text :
       {u"abc", u"1,5", u"", u"0x10", u"1e", u"1e39", u"-1e39", u"1e400", u"-nan", u"infinity"}) {
    EXPECT_FALSE(readNumber(text).has_value()) << QString::fromUtf16(text).toStdString();
  }
}

TEST(ReadArgument, RefusesNonFiniteValues) {
  EXPECT_EQ(readArgument("2.5"), 2.5f);
  EXPECT_THROW(readArgument("inf"), UsageError);
  EXPECT_THROW(readArgument("nan"), UsageError);
  EXPECT_THROW(readArgument("x"), UsageError);
}

TEST(WriteNumber, SixSignificantDigitsShorterNotation) {
  QString text;
  QTextStream out(&text);
  for (double value : {1.0, -0.5, 0.000025, 1234567.0, 0.1f + 0.0, -0.0, 506.3125, 100000.0}) {
    writeNumber(out, value);
    out << ' ';
  }
  writeNumber(out, double(NAN));
  out.flush();
  EXPECT_EQ(text, QStringLiteral("1 -0.5 2.5e-05 1.23457e+06 0.1 0 506.313 100000 nan"));
}
