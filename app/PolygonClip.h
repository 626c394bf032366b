#pragma once

// The clip of one polygon by a plane, as clip and clip --cap share it.

#include <cmath>
#include <cstdint>
#include <vector>

#include "LinkNodeHolder.h"
#include "ModelWalk.h"
#include "Point.h"

// t = da / (da − db) in single precision, then a + t·(b − a) in double. Where the side values
// do not fit a float, or their difference does not, single precision would put the point at a
// corner or make it NaN: t is then worked out in double.
inline Point crossing(const Point* a, const Point* b, double da, double db) {
  const auto fa = static_cast<float>(da);
  const auto fb = static_cast<float>(db);
  const float difference = fa - fb;
  double t;
  if (std::isnormal(fa) && std::isnormal(fb) && std::isfinite(difference)) {
    t = static_cast<double>(fa / difference);
  } else {
    t = da / (da - db);
  }
  return *a + t * (*b - *a);
}

// The side value of v: dot(v − P, N).
inline double sideOf(const Point& v, const Vector& normal, const Point& point) {
  return dot(v - point, normal);
}

// What is left of a polygon: every vertex on the positive side or on the plane and the crossing
// point of every edge whose ends lie strictly on opposite sides, in the order of travel. The
// side value of v is dot(v − P, N); there is no tolerance.
struct ClippedPolygon {
  std::vector<Point> kept;
  size_t vertices = 0;
  bool onPlane = true;  // every vertex on the plane
  // With `traced`: each kept point's vertices, numbered from 0 in the polygon's order (a == b
  // for a vertex, the ends of its edge for a crossing), and whether vertices were dropped
  // between it and the next kept point, round to the first.
  struct Source {
    uint32_t a, b;
  };
  std::vector<Source> sources;
  std::vector<char> gapAfter;
  std::vector<char> inPlane;  // the point lies on the plane
};

// With `traced`, a crossing point is worked out from the edge's ends in one order, whichever way
// the polygon runs, so that the two faces of an edge meet the plane at the same bits. The
// polygon's vertices are those that walk(visit) passes to visit(x, y, z), in order.
template <bool traced, class Walk>
void clipVertices(const Walk& walk, const Vector& normal, const Point& point, ClippedPolygon* out) {
  auto side = [&](const Point& v) { return sideOf(v, normal, point); };
  std::vector<Point>& kept = out->kept;
  kept.clear();
  out->sources.clear();
  out->gapAfter.clear();
  out->inPlane.clear();
  out->vertices = 0;
  out->onPlane = true;
  bool gapFirst = false;  // vertices dropped before the first kept point
  Point c1, previous;
  double s1 = 0, sPrevious = 0;
  uint32_t index = 0;
  auto before = [](const Point& a, const Point& b) {
    return a.x != b.x ? a.x < b.x : a.y != b.y ? a.y < b.y : a.z < b.z;
  };
  // Keeps `previous` unless it is negative, and the crossing point of the edge from it to
  // (c, s).
  auto edge = [&](const Point& c, double s, uint32_t at) {
    const uint32_t from = at == 0 ? index - 1 : at - 1;
    if (!(sPrevious < 0)) {
      kept.push_back(previous);
      if (traced) {
        out->sources.push_back({from, from});
        out->gapAfter.push_back(0);
        out->inPlane.push_back(sPrevious == 0);
      }
    } else if (traced) {
      if (kept.empty()) {
        gapFirst = true;
      } else {
        out->gapAfter.back() = 1;
      }
    }
    if ((sPrevious > 0 && s < 0) || (sPrevious < 0 && s > 0)) {
      if (traced && before(c, previous)) {
        kept.push_back(crossing(&c, &previous, s, sPrevious));
      } else {
        kept.push_back(crossing(&previous, &c, sPrevious, s));
      }
      if (traced) {
        out->sources.push_back({from, at});
        out->gapAfter.push_back(0);
        out->inPlane.push_back(1);
      }
    }
  };
  walk([&](float x, float y, float z) {
    const Point c(x, y, z);
    const double s = side(c);
    out->onPlane = out->onPlane && s == 0;
    if (index == 0) {
      c1 = c;
      s1 = s;
    } else {
      edge(c, s, index);
    }
    previous = c;
    sPrevious = s;
    ++index;
  });
  out->vertices = index;
  if (index != 0) edge(c1, s1, 0);
  if (traced && gapFirst && !kept.empty()) out->gapAfter.back() = 1;
}

// The clip of an object's vertices, its lead record left out.
template <bool traced>
void clipPolygon(LinkNodeHolder& object, const Vector& normal, const Point& point,
                 ClippedPolygon* out) {
  const auto walk = [&object](const auto& visit) {
    walkVertices(object, [&visit](LinkNodeHolder& r) { visit(r.getX(), r.getY(), r.getZ()); });
  };
  clipVertices<traced>(walk, normal, point, out);
}
