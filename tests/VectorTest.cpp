#include <gtest/gtest.h>

#include <cmath>

#include "Point.h"
#include "StreamText.h"

TEST(Vector, EqualityIsExactIeee) {
  EXPECT_EQ(Vector(0, 0, 0) == Vector(-0.0, 0, 0), 1);
  EXPECT_EQ(Vector(0.1 + 0.2, 0, 0) == Vector(0.3, 0, 0), 0);
  const Vector withNan(NAN, 0, 0);
  EXPECT_EQ(withNan == withNan, 0);
  EXPECT_EQ(withNan != withNan, 1);
}

TEST(Vector, CrossDotLengthNormalize) {
  EXPECT_EQ(cross(VX, VY), VZ);
  EXPECT_EQ(cross(VY, VX), Vector(0, 0, -1));
  EXPECT_EQ(cross(Vector(1, 2, 3), Vector(1, 2, 3)), VZero);
  EXPECT_EQ(dot(Vector(1, 2, 3), Vector(4, -5, 6)), 12);
  Vector v(3, 4, 0);
  EXPECT_EQ(v.length(), 5);
  v.normalize();
  EXPECT_EQ(v, Vector(0.6, 0.8, 0));
  Vector zero;
  zero.normalize();
  EXPECT_TRUE(std::isnan(zero.x) && std::isnan(zero.y) && std::isnan(zero.z));
}

TEST(Vector, DivisionDividesAndFollowsIeee) {
  EXPECT_EQ(Vector(1, 2, 3) / 0.0, Vector(INFINITY, INFINITY, INFINITY));
  EXPECT_TRUE(std::isnan((Vector(0, 0, 0) / 0.0).x));
  // Not a multiplication by the reciprocal: 49 · (1/49) is not 1.
  EXPECT_EQ((Vector(49, 0, 0) / 49.0).x, 1.0);
}

TEST(Point, AffineCombinationsAndAverage) {
  const Point p(1, 2, 3);
  const Point q(3, 2, -1);
  EXPECT_EQ(affine(p, q, 0), p);
  EXPECT_EQ(affine(p, q, 2), Point(5, 2, -5));
  EXPECT_EQ(midpoint(p, p), p);
  EXPECT_EQ(affine(p, q, PointZero, 1, 1, 1), Point(4, 4, 2));
  EXPECT_EQ((p - q) + q, p);
  EXPECT_EQ(-Point(0, 1, 0), Point(-0.0, -1, -0.0));
  const Point pts[] = {Point(0, 0, 0), Point(2, 4, 6)};
  EXPECT_EQ(average(pts, 2), Point(1, 2, 3));
  EXPECT_EQ(average(nullptr, 0), PointZero);
  EXPECT_EQ(average(nullptr, -3), PointZero);
  // Each point is scaled before it is added: three times 0.1·(1/3) is not 0.1.
  const Point tenths[] = {Point(0.1, 0, 0), Point(0.1, 0, 0), Point(0.1, 0, 0)};
  const double w = 1.0 / 3;
  EXPECT_EQ(average(tenths, 3).x, ((0.0 + w * 0.1) + w * 0.1) + w * 0.1);
}

TEST(Point, OutputFormats) {
  EXPECT_EQ(text(PointZero), "( 0, 0, 0 )");
  EXPECT_EQ(text(Point(1e-6, 1e6, 2.0 / 3)), "( 1e-06, 1e+06, 0.666667 )");
  EXPECT_EQ(text(Vector(-0.0, 0.5, 1)), "< -0, 0.5, 1 >");
}
