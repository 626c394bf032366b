#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "ListOfPoints.h"
#include "ListOfVectors.h"
#include "StreamText.h"
#include "Transformation.h"

namespace {

void expectNear(const Point& actual, const Point& expected, double tolerance = 1e-12) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectNear(const Transformation& a, const Transformation& b, double tolerance = 1e-12) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.matrix(i, j), b.matrix(i, j), tolerance);
  }
}

}  // namespace

TEST(Transformation, CompositionAppliesTheLeftFactorFirst) {
  const Transformation t = translate_by(1, 0, 0);
  const Transformation s = scale_by(2, 2, 2);
  EXPECT_EQ((t * s).applied_to(PointZero), Point(2, 0, 0));
  EXPECT_EQ((s * t).applied_to(PointZero), Point(1, 0, 0));
  EXPECT_EQ(t * identity(), t);
  EXPECT_EQ(identity() * t, t);
  EXPECT_EQ(translate_by(Vector(1, 2, 3)) * translate_by(-Vector(1, 2, 3)), identity());
}

TEST(Transformation, CompoundOperatorsUseTheOldValueAndReturnCopies) {
  Transformation m = translate_by(1, 2, 3) * scale_by(2, 3, 4);
  const Transformation square = m * m;
  m *= m;
  EXPECT_EQ(m, square);
  Transformation a = scale_by(1, 2, 3);
  Transformation returned = (a += a);
  EXPECT_EQ(a, 2.0 * scale_by(1, 2, 3));
  EXPECT_EQ(a.matrix(3, 3), 2);
  returned.id();
  EXPECT_EQ(a.matrix(1, 1), 4);
  a.id();
  EXPECT_EQ(a, identity());
}

TEST(Transformation, AppliesToPointsVectorsAndProjPoints) {
  const Transformation t = translate_by(1, 2, 3);
  EXPECT_EQ(t.applied_to(Vector(4, 5, 6)), Vector(4, 5, 6));
  EXPECT_EQ(t.applied_to(Point(4, 5, 6)), Point(5, 7, 9));
  // scale_by(0, 0, 0) has only m[3][3] = 1.
  const Transformation weightTwo = identity() + scale_by(0, 0, 0);
  EXPECT_EQ(weightTwo.applied_to(Point(2, 4, 6)), Point(1, 2, 3));
  const ProjPoint image = weightTwo.applied_to(ProjPoint(2, 4, 6, 1));
  EXPECT_EQ(image.w, 2);
  EXPECT_EQ(image.x, 2);
  const Point infinite = (identity() - scale_by(0, 0, 0)).applied_to(Point(1, 2, 3));
  EXPECT_TRUE(std::isinf(infinite.x) && std::isinf(infinite.y) && std::isinf(infinite.z));
}

TEST(Transformation, AxisRotationsInDegrees) {
  EXPECT_EQ(z_rotate_by(0), identity());
  EXPECT_EQ(x_rotate_by(0), identity());
  EXPECT_EQ(y_rotate_by(0), identity());
  const Point turned = z_rotate_by(90).applied_to(Point(1, 0, 0));
  // cos of 90 degrees converted with the 13-decimal pi.
  EXPECT_NEAR(turned.x, 4.66906e-14, 1e-18);
  EXPECT_NE(turned.x, 0);
  EXPECT_EQ(turned.y, 1);
  expectNear(x_rotate_by(90).applied_to(Point(0, 1, 0)), Point(0, 0, 1));
  expectNear(y_rotate_by(90).applied_to(Point(0, 0, 1)), Point(1, 0, 0));
  expectNear(z_rotate_by(90) * z_rotate_by(90) * z_rotate_by(90) * z_rotate_by(90), identity());
}

TEST(Transformation, RotateByAnyAxis) {
  expectNear(rotate_by(30, VZ), z_rotate_by(30));
  expectNear(rotate_by(30, VX), x_rotate_by(30));
  expectNear(rotate_by(30, VY), y_rotate_by(30));
  EXPECT_EQ(rotate_by(30, Vector(0, 0, 5)), rotate_by(30, VZ));
  EXPECT_EQ(rotate_by(30, VZero), z_rotate_by(30));
  // A third of a turn about (1, 1, 1) cycles the axes: x → y → z.
  const Transformation cycle = rotate_by(120, Vector(1, 1, 1));
  expectNear(cycle.applied_to(Point(1, 0, 0)), Point(0, 1, 0));
  expectNear(cycle.applied_to(Point(0, 1, 0)), Point(0, 0, 1));
  // Negative axes turn the other way.
  expectNear(rotate_by(90, Vector(0, 0, -2)).applied_to(Point(1, 0, 0)), Point(0, -1, 0));
}

TEST(Transformation, ViewAndItsInverse) {
  testing::internal::CaptureStdout();
  const Transformation v = view(1, 10, 90);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_NEAR(v.matrix(0, 0), 1, 1e-12);
  EXPECT_EQ(v.matrix(2, 2), 11.0 / 9);
  EXPECT_EQ(v.matrix(3, 2), 20.0 / 9);
  EXPECT_EQ(v.matrix(2, 3), -1);
  EXPECT_EQ(v.matrix(3, 3), 0);
  std::ostringstream expected;
  expected << "Viewing Transform\n" << v;
  EXPECT_EQ(printed, expected.str());

  const Transformation inverse = inverse_view(1, 10, 90);
  EXPECT_NEAR(inverse.matrix(0, 0), 1, 1e-12);
  EXPECT_EQ(inverse.matrix(2, 3), 0.45);
  EXPECT_EQ(inverse.matrix(3, 3), 0.55);
  expectNear(v * inverse, identity());

  testing::internal::CaptureStdout();
  for (double angle : {0.0, -5.0, double(NAN)}) EXPECT_EQ(view(1, 10, angle), identity());
  EXPECT_EQ(view(10, 1, 90), identity());
  EXPECT_EQ(inverse_view(10, 1, 90), identity());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(Transformation, OutputIsFourTabbedLines) {
  EXPECT_EQ(text(translate_by(1, 2.5, -3)),
            "\t1\t0\t0\t0\n\t0\t1\t0\t0\n\t0\t0\t1\t0\n\t1\t2.5\t-3\t1\n");
}

TEST(Transformation, AppliesToWholeLists) {
  const Point points[] = {Point(1, 2, 3), Point(4, 5, 6)};
  const ListOfPoints moved = translate_by(1, 0, 0).applied_to(ListOfPoints(points, 2));
  ASSERT_EQ(moved.length(), 2);
  EXPECT_EQ(moved[1], Point(5, 5, 6));
  const Vector vector(1, 2, 3);
  EXPECT_EQ(translate_by(1, 0, 0).applied_to(ListOfVectors(&vector, 1))[0], vector);
}
