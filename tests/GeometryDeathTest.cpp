// The geometry layer's three fatal checks: exact message on standard error, exit status 200.

#include <gtest/gtest.h>

#include "ListOfPoints.h"
#include "ListOfVectors.h"
#include "Transformation.h"

using testing::ExitedWithCode;

TEST(GeometryDeathTest, ProjectingWeightZero) {
  EXPECT_EXIT(ProjPoint(1, 2, 3, 0).project(), ExitedWithCode(200),
              "^Cannot project a point with projective coordinate zero -- \\( 1, 2, 3, 0 \\)$");
  EXPECT_EXIT(ProjPoint(1, 2, 3, -0.0).project(), ExitedWithCode(200), "coordinate zero");
}

TEST(GeometryDeathTest, MatrixSubscriptOutOfRange) {
  const Transformation t;
  EXPECT_EQ(t.matrix(3, 3), 1);
  EXPECT_EXIT(t.matrix(4, 0), ExitedWithCode(200),
              "^Illegal subscripts \\(4, 0\\) to operator\\(\\) in the Transformation class\n$");
  EXPECT_EXIT(t.matrix(0, 4), ExitedWithCode(200), "\\(0, 4\\)");
  EXPECT_EXIT(t.matrix(-1, 2), ExitedWithCode(200), "\\(-1, 2\\)");
  EXPECT_EXIT(t.matrix(2, -1), ExitedWithCode(200), "\\(2, -1\\)");
}

TEST(GeometryDeathTest, ListIndexOutOfBounds) {
  ListOfPoints three;
  for (int i = 0; i < 3; ++i) three.add(Point());
  EXPECT_EXIT(three[3], ExitedWithCode(200),
              "^ListOfPoints array index \\[3\\] is out of bounds \\[0,2\\]\n\n$");
  EXPECT_EXIT(three[-1], ExitedWithCode(200), "index \\[-1\\]");
  const ListOfVectors empty;
  EXPECT_EXIT(empty[0], ExitedWithCode(200),
              "^ListOfVectors array index \\[0\\] is out of bounds \\[0,-1\\]\n\n$");
}
