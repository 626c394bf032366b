// Properties of the shape commands that golden files alone would not show.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <vector>

#include "ModelWalk.h"
#include "Vandrel.h"

namespace {

using Polygon = std::vector<Point>;

void addObject(Vandrel& driver, const Polygon& vertices) {
  auto* object = new LinkNodeHolder;
  object->add(-1, -1, 2, 1);
  for (const Point& p : vertices) object->add(float(p.x), float(p.y), float(p.z), 1);
  driver.model->add(object);
  driver.model->reset();
}

std::vector<Polygon> vertices(LNHHolder& model) {
  std::vector<Polygon> objects;
  model.reset();
  walkObjects(model, [&](LinkNodeHolder& object) {
    objects.emplace_back();
    walkVertices(object, [&](LinkNodeHolder& r) {
      objects.back().emplace_back(r.getX(), r.getY(), r.getZ());
    });
  });
  return objects;
}

// v turned by `degrees` right-handedly about the unit axis u (Rodrigues' formula).
Point turned(const Point& p, const Point& center, Vector u, double degrees) {
  u /= u.length();
  const double a = degrees * M_PI / 180;
  const Vector v = p - center;
  return center +
         (std::cos(a) * v + std::sin(a) * cross(u, v) + (dot(u, v) * (1 - std::cos(a))) * u);
}

double area(const Polygon& polygon) {  // in the x–y plane
  double twice = 0;
  for (size_t i = 0; i < polygon.size(); ++i) {
    const Point& a = polygon[i];
    const Point& b = polygon[(i + 1) % polygon.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return twice / 2;
}

class Shape : public ::testing::Test {
 protected:
  QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir;
};

}  // namespace

TEST_F(Shape, RotTurnsCopiesAboutAnyAxis) {
  const Polygon profile = {Point(1, 0, 0), Point(2, 1, 0.5), Point(0.5, -1, 2)};
  const Point center(0.5, -0.25, 1);
  // The last three: squares that overflow or underflow a float.
  for (const Vector& axis :
       {Vector(1, 1, 1), Vector(0, 0, -1), Vector(-1, 2, -3), Vector(2, 0, 0), Vector(-1, 0, 0),
        Vector(0.5, 0.5, 0), Vector(0, -1, 0), Vector(0, 0, 3), Vector(1e20, 1e20, 0),
        Vector(0, 0, 1e-30), Vector(-3e-30, 1e-30, 2e-30)}) {
    Vandrel run;
    addObject(run, profile);
    const Sweep sweep{{float(axis.x), float(axis.y), float(axis.z)},
                      {float(center.x), float(center.y), float(center.z)},
                      5,
                      300};
    run.doRotate(path("ring"), sweep);
    Vandrel reader;
    reader.loadFile(path("ring"));
    const std::vector<Polygon> copies = vertices(*reader.model);
    ASSERT_EQ(copies.size(), 5u);
    for (size_t k = 0; k < copies.size(); ++k) {
      for (size_t i = 0; i < profile.size(); ++i) {
        const Point expected = turned(profile[i], center, axis, 60.0 * double(k));
        EXPECT_LT((copies[k][i] - expected).length(), 1e-4) << axis << " copy " << k;
      }
    }
  }
}

TEST_F(Shape, ClipKeepsTheRightAreaOnTheRightSide) {
  // A regular hexagon of circumradius 2 in the plane z = 0, and one as large as floats allow.
  const auto hexagon = [](double radius) {
    Polygon h;
    for (int i = 0; i < 6; ++i) {
      h.emplace_back(radius * std::cos(i * M_PI / 3), radius * std::sin(i * M_PI / 3), 0);
    }
    return h;
  };
  const double full = area(hexagon(2));
  const struct {
    double radius;
    Vector normal;
    Point point;
    double keptArea;
  } planes[] = {
      {2, Vector(1, 0, 0), Point(0, 0, 0), full / 2},
      {2, Vector(-1, 0, 0), Point(0, 0, 0), full / 2},
      {2, Vector(0, 1, 0), Point(0, 0, 0), full / 2},
      {2, Vector(1, 1, 0), Point(0, 0, 0), full / 2},
      {2, Vector(1, 0, 0), Point(1, 0, 0), std::sqrt(3.0)},  // the triangle beyond x = 1
      {2, Vector(0, 0, 1), Point(0, 0, -1), full},
      {2, Vector(0, 0, 1), Point(0, 0, 1), 0},
      // Side values beyond the float range, their difference beyond it, and side values
      // below the float's normal numbers.
      {2, Vector(2e38, 0, 0), Point(0, 0, 0), full / 2},
      {3e38, Vector(1, 1, 0), Point(0, 0, 0), full / 2 * 2.25e76},
      {2, Vector(1e-45, 1e-45, 0), Point(0, 0, 0), full / 2},
  };
  for (const auto& plane : planes) {
    Vandrel run;
    addObject(run, hexagon(plane.radius));
    const Plane cut{{float(plane.normal.x), float(plane.normal.y), float(plane.normal.z)},
                    {float(plane.point.x), float(plane.point.y), float(plane.point.z)}};
    run.doClip(path("kept"), cut);
    Vandrel reader;
    reader.loadFile(path("kept"));
    const std::vector<Polygon> kept = vertices(*reader.model);
    ASSERT_EQ(kept.size(), plane.keptArea == 0 ? 0u : 1u) << plane.normal;
    if (kept.empty()) continue;
    const double scale = plane.radius * plane.radius / 4;
    EXPECT_NEAR(area(kept[0]) / scale, plane.keptArea / scale, 1e-5) << plane.normal;
    for (const Point& p : kept[0]) {
      EXPECT_GE(dot(p - plane.point, plane.normal / plane.normal.length()), -1e-5 * plane.radius);
    }
  }
}
