// Every triangulation covers its polygon exactly: the triangles' unsigned areas add up to the
// polygon's area, and each turns the way the polygon does. Checked over polygons of every kind
// the exporters meet, in planes of every direction, both ways round.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <random>
#include <vector>

#include "ModelMesh.h"
#include "Normals.h"
#include "Triangulate.h"
#include "Vandrel.h"

namespace {

using Polygon2 = std::vector<std::pair<double, double>>;

struct Cover {
  double polygonArea = 0;
  double triangleArea = 0;
  size_t wrongWay = 0;
  size_t triangles = 0;
};

// Triangulates the polygon and measures what the triangles cover.
Cover cover(const std::vector<Position>& positions) {
  std::vector<uint32_t> vertices(positions.size());
  for (uint32_t i = 0; i < vertices.size(); ++i) vertices[i] = i;
  std::vector<uint32_t> out;
  Triangulator().triangulate(positions, vertices.data(), vertices.size(), &out);
  const Vec3 n = newellNormal(positions, vertices.data(), vertices.size());
  Cover c;
  c.polygonArea = length(n) / 2;
  for (size_t t = 0; t < out.size(); t += 3) {
    const uint32_t corners[3] = {out[t], out[t + 1], out[t + 2]};
    const Vec3 m = newellNormal(positions, corners, 3);
    c.triangleArea += length(m) / 2;
    if (m.x * n.x + m.y * n.y + m.z * n.z < 0) ++c.wrongWay;
    ++c.triangles;
  }
  return c;
}

// The polygon in a plane through `origin` spanned by two unit vectors.
std::vector<Position> inPlane(const Polygon2& polygon, const Vec3& u, const Vec3& v,
                              const Vec3& origin) {
  std::vector<Position> out;
  for (const auto& [a, b] : polygon) {
    out.push_back({float(origin.x + a * u.x + b * v.x), float(origin.y + a * u.y + b * v.y),
                   float(origin.z + a * u.z + b * v.z)});
  }
  return out;
}

Polygon2 star(size_t points, double inner, double outer) {
  Polygon2 p;
  for (size_t i = 0; i < 2 * points; ++i) {
    const double angle = M_PI * double(i) / double(points);
    const double r = i % 2 == 0 ? outer : inner;
    p.emplace_back(r * std::cos(angle), r * std::sin(angle));
  }
  return p;
}

// A simple polygon: random points around a centre, in the order of their angle.
Polygon2 randomStarShaped(std::mt19937& random, size_t count) {
  std::vector<double> angles(count);
  std::uniform_real_distribution<double> unit(0, 1);
  for (double& a : angles) a = 2 * M_PI * unit(random);
  std::sort(angles.begin(), angles.end());
  Polygon2 p;
  for (double a : angles) {
    const double r = 0.2 + unit(random);
    p.emplace_back(std::round(r * std::cos(a) * 1000) / 1000,
                   std::round(r * std::sin(a) * 1000) / 1000);
  }
  return p;
}

// The polygons the check runs over, with the weakly simple ones that clip makes.
std::vector<Polygon2> shapes() {
  std::vector<Polygon2> all = {
      {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}},                  // L, area 3
      {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}},  // U
      {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}},  // straight corners
      {{0, 0}, {1, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 1}},                  // repeated vertices
      {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 3}, {3, 3}, {3, 1}, {0, 1}},  // C
      {{0, 0}, {2, 0}, {2, 2}, {1, 1}, {0, 2}},                          // reflex first corner
      {{0, 0}, {2, 0}, {1, 1}, {2, 2}, {0, 2}, {1, 1}},                  // touches itself
      // Two squares joined by a zero-width bridge along y = 0, as clip leaves them.
      {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {3, 0}, {3, 1}, {2, 1}, {2, 0}, {1, 0}},
      star(5, 0.4, 1),
      star(50, 0.9, 1),
  };
  // A comb: teeth up from a spine.
  Polygon2 comb = {{0, 0}, {20, 0}};
  for (int i = 10; i > 0; --i) {
    comb.insert(comb.end(), {{2.0 * i, 3}, {2.0 * i - 1, 3}, {2.0 * i - 1, 1}});
  }
  comb.back() = {0, 1};
  all.push_back(comb);
  std::mt19937 random(11);
  for (int i = 0; i < 200; ++i) all.push_back(randomStarShaped(random, 3 + size_t(i) % 120));
  return all;
}

}  // namespace

TEST(Triangulate, CoversEveryPolygonExactlyInAnyPlane) {
  const Vec3 planes[][2] = {{{1, 0, 0}, {0, 1, 0}},
                            {{0, 1, 0}, {1, 0, 0}},  // the same plane, turned over
                            {{0, 0, 1}, {1, 0, 0}},
                            {{0.6, 0.8, 0}, {0, 0, 1}},
                            {{0.48, -0.6, 0.64}, {0.8, 0.6, 0}}};
  const Vec3 origin{100, -50, 3};
  double worst = 0;
  size_t polygons = 0;
  for (const Polygon2& shape : shapes()) {
    for (const auto& plane : planes) {
      const Cover c = cover(inPlane(shape, plane[0], plane[1], origin));
      const double error = std::fabs(c.triangleArea - c.polygonArea) / c.polygonArea;
      worst = std::max(worst, error);
      ++polygons;
      EXPECT_LT(error, 1e-5) << "polygon " << polygons << " of " << shape.size() << " vertices";
      EXPECT_EQ(c.wrongWay, 0u) << "polygon " << polygons;
    }
  }
  std::printf("%zu polygons, worst relative area error %.3g\n", polygons, worst);
}

namespace {

// Whether d lies inside the circle through the counter-clockwise a, b and c by more than
// rounding could make it seem.
bool clearlyInCircle(const Position& a, const Position& b, const Position& c, const Position& d) {
  const double m[3][3] = {
      {a.x - d.x, a.y - d.y, 0}, {b.x - d.x, b.y - d.y, 0}, {c.x - d.x, c.y - d.y, 0}};
  double det = 0, size = 0;
  for (int i = 0; i < 3; ++i) {
    const double* r = m[i];
    const double* s = m[(i + 1) % 3];
    const double* t = m[(i + 2) % 3];
    const double lift = r[0] * r[0] + r[1] * r[1];
    det += lift * (s[0] * t[1] - s[1] * t[0]);
    size += lift * (std::fabs(s[0] * t[1]) + std::fabs(s[1] * t[0]));
  }
  return det > 1e-9 * size;
}

double cross(const Position& a, const Position& b, const Position& c) {
  return (double{b.x} - a.x) * (double{c.y} - a.y) - (double{b.y} - a.y) * (double{c.x} - a.x);
}

}  // namespace

// No two triangles that share a diagonal make a convex quadrilateral whose other diagonal would
// be better: the fourth corner never lies clearly inside the circle through the other three.
TEST(Triangulate, TrianglesAreDelaunayWithinThePolygon) {
  size_t diagonals = 0;
  for (const Polygon2& shape : shapes()) {
    const std::vector<Position> positions = inPlane(shape, {1, 0, 0}, {0, 1, 0}, {3, -2, 1});
    std::vector<uint32_t> vertices(positions.size());
    for (uint32_t i = 0; i < vertices.size(); ++i) vertices[i] = i;
    std::vector<uint32_t> out;
    Triangulator().triangulate(positions, vertices.data(), vertices.size(), &out);
    for (size_t t = 0; t < out.size(); t += 3) {
      for (size_t u = 0; u < out.size(); u += 3) {
        for (int i = 0; i < 3; ++i) {
          for (int j = 0; j < 3; ++j) {
            const uint32_t a = out[t + size_t(i)], b = out[t + size_t(i + 1) % 3];
            if (out[u + size_t(j)] != b || out[u + size_t(j + 1) % 3] != a) continue;
            const Position &pa = positions[a], &pb = positions[b];
            const Position& pc = positions[out[t + size_t(i + 2) % 3]];
            const Position& pd = positions[out[u + size_t(j + 2) % 3]];
            if (!(cross(pc, pa, pd) > 0 && cross(pc, pd, pb) > 0)) continue;  // not convex
            ++diagonals;
            EXPECT_FALSE(clearlyInCircle(pa, pb, pc, pd))
                << "polygon of " << shape.size() << " vertices, diagonal " << a << "-" << b;
          }
        }
      }
    }
  }
  EXPECT_GT(diagonals, 1000u);
}

// A side face of a peg where a sphere's facet cut it: its top runs along the cut through points
// that are almost in a line. Ear clipping alone cut three of them off as a triangle of 1e-6 of
// the face's area, whose normal readers that work in single precision got wrong.
TEST(Triangulate, NoSliverWhereThePolygonHasRoomForBetterTriangles) {
  const std::vector<Position> face = {
      {31.6667f, 2.49441f, -6},       {31.6667f, 2.49441f, -5.18108f},
      {31.6915f, 2.4741f, -5.18332f}, {31.7579f, 2.41956f, -5.18934f},
      {32.076f, 2.15847f, -5.18522f}, {32.1213f, 2.12132f, -5.18464f},
      {32.1213f, 2.12132f, -6}};
  std::vector<uint32_t> vertices = {0, 1, 2, 3, 4, 5, 6};
  std::vector<uint32_t> out;
  Triangulator().triangulate(face, vertices.data(), vertices.size(), &out);
  ASSERT_EQ(out.size(), 15u);
  const double area = length(newellNormal(face, vertices.data(), vertices.size())) / 2;
  for (size_t t = 0; t < out.size(); t += 3) {
    EXPECT_GT(length(newellNormal(face, &out[t], 3)) / 2, 1e-3 * area) << "triangle " << t / 3;
  }
}

TEST(Triangulate, PolygonsWithoutAreaGiveNoTriangles) {
  EXPECT_EQ(cover({}).triangles, 0u);
  EXPECT_EQ(cover({{0, 0, 0}, {1, 1, 1}}).triangles, 0u);
  EXPECT_EQ(cover({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}}).triangles, 0u);
  EXPECT_EQ(cover({{0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {1, 0, 0}}).triangles, 0u);
}

TEST(Triangulate, ClippedConcavePolygonsAreCovered) {
  // A W shape cut across its three arms: one object of three pieces joined along the cut.
  QTemporaryDir dir;
  Vandrel driver;
  auto* object = new LinkNodeHolder;
  object->add(-1, -1, 2, 1);
  for (const auto& [x, y] : Polygon2{{0, 0},
                                     {5, 0},
                                     {5, 3},
                                     {4, 3},
                                     {4, 1},
                                     {3, 1},
                                     {3, 3},
                                     {2, 3},
                                     {2, 1},
                                     {1, 1},
                                     {1, 3},
                                     {0, 3}}) {
    object->add(float(x), float(y), 0, 1);
  }
  driver.model->add(object);
  driver.model->reset();
  const QString kept = dir.filePath(QStringLiteral("kept"));
  driver.doClip(kept, Plane{{0, 1, 0}, {0, 2, 0}});
  Vandrel reader;
  reader.loadFile(kept);
  const Mesh mesh = meshOf(*reader.model);
  ASSERT_EQ(mesh.faceCount(), 1u);
  std::vector<Position> polygon;
  for (uint32_t i = 0; i < mesh.faceSize(0); ++i)
    polygon.push_back(mesh.positions[mesh.face(0)[i]]);
  const Cover c = cover(polygon);
  EXPECT_NEAR(c.triangleArea, 3.0, 1e-6);  // three arms of 1 x 1
  EXPECT_NEAR(c.polygonArea, 3.0, 1e-6);
  EXPECT_EQ(c.wrongWay, 0u);
}
