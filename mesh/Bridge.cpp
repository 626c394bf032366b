#include "Bridge.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

double cross(Vec2 a, Vec2 b) { return a.u * b.v - a.v * b.u; }
Vec2 minus(Vec2 a, Vec2 b) { return {a.u - b.u, a.v - b.v}; }
bool same(Vec2 a, Vec2 b) { return a.u == b.u && a.v == b.v; }

// Whether direction d from corner i of the polygon points into it: between the edge out of the
// corner and the edge into it, turning counter-clockwise.
bool opensTowards(const std::vector<Vec2>& points, const std::vector<uint32_t>& polygon, size_t i,
                  Vec2 d) {
  const size_t n = polygon.size();
  const Vec2 at = points[polygon[i]];
  const Vec2 out = minus(points[polygon[(i + 1) % n]], at);
  const Vec2 in = minus(points[polygon[(i + n - 1) % n]], at);
  if (cross(out, in) >= 0) return cross(out, d) > 0 && cross(d, in) > 0;
  return cross(out, d) > 0 || cross(d, in) > 0;
}

// Where in `polygon` the hole's vertex m is to be joined: the position of a vertex visible from
// m, found along the ray from m towards larger u.
size_t visibleFrom(const std::vector<Vec2>& points, const std::vector<uint32_t>& polygon, Vec2 m) {
  const size_t n = polygon.size();
  // The nearest edge the ray meets going up, as the edges of the polygon around m do: the ray
  // leaves m through the inside, so the edge it meets first runs up there (a bridge, run both
  // ways, is met only on its way up).
  double nearest = std::numeric_limits<double>::infinity();
  size_t edge = n;
  for (size_t i = 0; i < n; ++i) {
    const Vec2 p = points[polygon[i]], q = points[polygon[(i + 1) % n]];
    if (!(p.v <= m.v && m.v < q.v)) continue;
    const double u = p.u + (m.v - p.v) * ((q.u - p.u) / (q.v - p.v));
    if (u >= m.u && u < nearest) {
      nearest = u;
      edge = i;
    }
  }
  if (edge == n) return 0;  // not inside: any vertex will do for a hole that is not one
  const size_t start = edge, end = (edge + 1) % n;
  const Vec2 hit{nearest, m.v};
  if (same(points[polygon[start]], hit)) return start;
  // The end of the edge with the larger u is visible unless a vertex lies in the triangle
  // (m, hit, that end); then the one of those closest in angle to the ray is.
  size_t best = points[polygon[start]].u > points[polygon[end]].u ? start : end;
  const Vec2 b = points[polygon[best]];
  const bool up = b.v >= m.v;
  double bestSlope = std::fabs(b.v - m.v) / (b.u - m.u);
  double bestDistance = std::hypot(b.u - m.u, b.v - m.v);
  for (size_t i = 0; i < n; ++i) {
    if (i == best) continue;
    const Vec2 r = points[polygon[i]];
    if (!(r.u > m.u) || r.u > std::max(hit.u, b.u) || (up ? r.v < m.v : r.v > m.v)) continue;
    // Inside the triangle (m, hit, b), edges included.
    const double s1 = cross(minus(hit, m), minus(r, m));
    const double s2 = cross(minus(b, hit), minus(r, hit));
    const double s3 = cross(minus(m, b), minus(r, b));
    const bool inside = (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
    if (!inside) continue;
    const double slope = std::fabs(r.v - m.v) / (r.u - m.u);
    const double distance = std::hypot(r.u - m.u, r.v - m.v);
    if (slope < bestSlope || (slope == bestSlope && distance < bestDistance)) {
      best = i;
      bestSlope = slope;
      bestDistance = distance;
    }
  }
  // A vertex met twice (the end of an earlier bridge): the visit whose corner opens towards m.
  const Vec2 chosen = points[polygon[best]];
  const Vec2 back = minus(m, chosen);
  if (opensTowards(points, polygon, best, back)) return best;
  for (size_t i = 0; i < n; ++i) {
    if (i != best && same(points[polygon[i]], chosen) && opensTowards(points, polygon, i, back)) {
      return i;
    }
  }
  return best;
}

}  // namespace

double loopArea(const std::vector<Vec2>& points, Loop loop) {
  double area = 0;
  for (uint32_t i = 0; i < loop.count; ++i) {
    const Vec2 a = points[loop.first + i];
    const Vec2 b = points[loop.first + (i + 1 == loop.count ? 0 : i + 1)];
    area += cross(a, b);
  }
  return area;
}

bool insideLoop(const std::vector<Vec2>& points, Loop loop, Vec2 p) {
  bool inside = false;
  for (uint32_t i = 0, j = loop.count - 1; i < loop.count; j = i++) {
    const Vec2 a = points[loop.first + i], b = points[loop.first + j];
    if ((a.v > p.v) != (b.v > p.v) && p.u < a.u + (p.v - a.v) * (b.u - a.u) / (b.v - a.v)) {
      inside = !inside;
    }
  }
  return inside;
}

std::vector<uint32_t> bridgeHoles(const std::vector<Vec2>& points, Loop outer,
                                  std::vector<Loop> holes) {
  std::vector<uint32_t> polygon(outer.count);
  for (uint32_t i = 0; i < outer.count; ++i) polygon[i] = outer.first + i;
  // Each hole's vertex of largest u (of largest v among those).
  auto rightmost = [&points](Loop hole) {
    uint32_t best = 0;
    for (uint32_t i = 1; i < hole.count; ++i) {
      const Vec2 p = points[hole.first + i], b = points[hole.first + best];
      if (p.u > b.u || (p.u == b.u && p.v > b.v)) best = i;
    }
    return best;
  };
  std::vector<std::pair<uint32_t, Loop>> order;
  for (const Loop& hole : holes) order.emplace_back(rightmost(hole), hole);
  std::stable_sort(order.begin(), order.end(), [&points](const auto& a, const auto& b) {
    return points[a.second.first + a.first].u > points[b.second.first + b.first].u;
  });
  std::vector<uint32_t> joined;
  for (const auto& [start, hole] : order) {
    const uint32_t m = hole.first + start;
    const size_t at = visibleFrom(points, polygon, points[m]);
    // ..., the visible vertex, m, the rest of the hole round to m, m again, the visible vertex
    // again, ...
    joined.clear();
    joined.insert(joined.end(), polygon.begin(),
                  polygon.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    for (uint32_t i = 0; i <= hole.count; ++i) {
      joined.push_back(hole.first + (start + i) % hole.count);
    }
    joined.insert(joined.end(), polygon.begin() + static_cast<std::ptrdiff_t>(at), polygon.end());
    polygon.swap(joined);
  }
  return polygon;
}
