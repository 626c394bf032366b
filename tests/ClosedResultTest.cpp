// A boolean's result is written as it is where, welded, it is closed; a part that the weld makes
// a sheet is left out; a result that stays open is refused.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ClosedResult.h"

namespace {

std::string face(std::initializer_list<std::initializer_list<double>> vertices) {
  std::string text = "newObject\n1 0 0 1\n";
  for (const auto& v : vertices) {
    char line[100];
    auto at = v.begin();
    std::snprintf(line, sizeof line, "%.9g %.9g %.9g 1\n", at[0], at[1], at[2]);
    text += line;
  }
  return text;
}

// The unit cube moved by (x, 0, 0), outward, its top at `top`; all faces but those left out.
std::string cube(double x, double top, bool withTop = true) {
  std::string text = face({{x, 0, 0}, {x, 1, 0}, {x + 1, 1, 0}, {x + 1, 0, 0}});
  if (withTop) text += face({{x, 0, top}, {x + 1, 0, top}, {x + 1, 1, top}, {x, 1, top}});
  text += face({{x, 0, 0}, {x + 1, 0, 0}, {x + 1, 0, top}, {x, 0, top}});
  text += face({{x + 1, 0, 0}, {x + 1, 1, 0}, {x + 1, 1, top}, {x + 1, 0, top}});
  text += face({{x + 1, 1, 0}, {x, 1, 0}, {x, 1, top}, {x + 1, 1, top}});
  text += face({{x, 1, 0}, {x, 0, 0}, {x, 0, top}, {x, 1, top}});
  return text;
}

TEST(ClosedResult, AClosedResultIsWrittenAsItIs) {
  size_t open = 0;
  const std::string text = cube(0, 1) + cube(3, 1);
  EXPECT_EQ(closedOnceWelded(text, &open), text);
  EXPECT_EQ(closedOnceWelded("", &open), "");
}

TEST(ClosedResult, APartThatTheWeldFlattensIsLeftOut) {
  // A box 1e-7 high beside a unit cube: thinner than the weld distance (4e-5 of their size).
  size_t open = 0;
  const std::string sheet = cube(3, 1e-7);
  EXPECT_EQ(closedOnceWelded(cube(0, 1) + sheet, &open), cube(0, 1));
  EXPECT_EQ(closedOnceWelded(sheet, &open), "");
}

TEST(ClosedResult, AResultThatStaysOpenIsRefused) {
  size_t open = 0;
  EXPECT_FALSE(closedOnceWelded(cube(0, 1) + cube(3, 1, false), &open).has_value());
  EXPECT_EQ(open, 4u);
}

}  // namespace
