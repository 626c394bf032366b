// A refusal names the input files whose faces the two solids hold, each once, in the order of the
// command line, and counts the rest past three.

#include <gtest/gtest.h>

#include "SolidNames.h"

namespace {

// A surface of one triangle per label.
ExactSolid withLabels(const std::vector<uint32_t>& labels) {
  std::vector<Position> p;
  std::vector<uint32_t> corners;
  for (size_t i = 0; i < labels.size(); ++i) {
    const float x = float(2 * i);
    p.insert(p.end(), {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}});
    corners.insert(corners.end(), {uint32_t(3 * i), uint32_t(3 * i + 1), uint32_t(3 * i + 2)});
  }
  return ExactSolid(p, corners, labels);
}

TEST(SolidNames, NamesTheFilesOfBothSolidsOnceEachInTheirOrder) {
  SolidNames names;
  // Files of 6, 1, 4, 2, 3 and 5 faces.
  const char* paths[] = {"a.poly", "b.poly", "c.poly", "d.poly", "e.poly", "f.poly"};
  const uint32_t first[] = {0, 6, 7, 11, 13, 16};
  for (int i = 0; i < 6; ++i) names.add(QString::fromLatin1(paths[i]), first[i]);
  EXPECT_EQ(names.of(withLabels({0, 5}), withLabels({})), QStringLiteral("'a.poly'"));
  EXPECT_EQ(names.of(withLabels({7, 10}), withLabels({6})),
            QStringLiteral("'b.poly' and 'c.poly'"));
  EXPECT_EQ(names.of(withLabels({20, 12, 0}), withLabels({13, 6})),
            QStringLiteral("'a.poly', 'b.poly', 'd.poly' and 2 more"));
  EXPECT_EQ(names.of(withLabels({16, 13, 11, 7}), withLabels({})),
            QStringLiteral("'c.poly', 'd.poly', 'e.poly' and 'f.poly'"));
}

}  // namespace
