#include <gtest/gtest.h>

#include <cmath>

#include "ProjPoint.h"

TEST(ProjPoint, DefaultIsTheOriginWithWeightOne) {
  const ProjPoint origin;
  EXPECT_EQ(origin.w, 1);
  EXPECT_EQ(origin.x, 0);
  ProjPoint p(0, 0, 0, 5);
  p = Point(1, 2, 3);
  EXPECT_EQ(p.w, 1);
  EXPECT_EQ(ProjPoint(Point(1, 2, 3)).w, 1);
}

TEST(ProjPoint, EqualityComparesProjections) {
  EXPECT_EQ(ProjPoint(1, 2, 3, 1) == ProjPoint(2, 4, 6, 2), 1);
  EXPECT_EQ(ProjPoint(1, 2, 3, 1) != ProjPoint(2, 4, 6, 2), 0);
  EXPECT_EQ(ProjPoint(1, 2, 3, 1) == ProjPoint(1, 2, 3, -1), 0);
  EXPECT_EQ(ProjPoint(0, 0, 0, 1) == ProjPoint(0, 0, 0, 7), 1);
  const ProjPoint atInfinity(1, 0, 0, 0);
  EXPECT_EQ(atInfinity == atInfinity, 0);  // 0/0 is NaN
  EXPECT_EQ(ProjPoint(1, 1, 1, 0) == ProjPoint(2, 2, 2, 0), 1);
}

TEST(ProjPoint, CombinationsIncludeTheWeight) {
  const ProjPoint mid = affine(ProjPoint(0, 0, 0, 1), ProjPoint(2, 2, 2, 3), 0.5);
  EXPECT_EQ(mid.w, 2);
  EXPECT_EQ(mid.project(), Point(0.5, 0.5, 0.5));
  const ProjPoint negated = -ProjPoint(1, 2, 3, 1);
  EXPECT_EQ(negated.w, -1);
  EXPECT_EQ(negated.project(), Point(1, 2, 3));
  const ProjPoint sum =
      affine(ProjPoint(1, 0, 0, 1), ProjPoint(0, 1, 0, 1), ProjPoint(0, 0, 1, 2), 1, 1, 1);
  EXPECT_EQ(sum.w, 4);
  EXPECT_TRUE(std::isnan(ProjPoint(1, 2, 3, NAN).project().x));
}
