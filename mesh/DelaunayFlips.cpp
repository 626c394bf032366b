#include "DelaunayFlips.h"

#include <cmath>

namespace {

using Point = DelaunayFlips::Point;

// Twice the signed area of (a, b, c), positive counter-clockwise; exact for coordinates that
// are floats, as a polygon's are in its plane.
double turn(const Point& a, const Point& b, const Point& c) {
  return (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
}

// Whether d lies inside the circle through a, b and c (counter-clockwise) by more than rounding
// could make it seem: points on the circle or within a hair of it are left alone, so that no
// diagonal of a rectangle or of a regular polygon moves, and no two flips undo each other.
bool clearlyInCircle(const Point& a, const Point& b, const Point& c, const Point& d) {
  const double adx = a.x - d.x, ady = a.y - d.y;
  const double bdx = b.x - d.x, bdy = b.y - d.y;
  const double cdx = c.x - d.x, cdy = c.y - d.y;
  const double al = adx * adx + ady * ady, bl = bdx * bdx + bdy * bdy, cl = cdx * cdx + cdy * cdy;
  const double det =
      al * (bdx * cdy - bdy * cdx) + bl * (cdx * ady - cdy * adx) + cl * (adx * bdy - ady * bdx);
  const double size = al * (std::fabs(bdx * cdy) + std::fabs(bdy * cdx)) +
                      bl * (std::fabs(cdx * ady) + std::fabs(cdy * adx)) +
                      cl * (std::fabs(adx * bdy) + std::fabs(ady * bdx));
  return det > 1e-10 * size;
}

}  // namespace

void DelaunayFlips::pair(const std::vector<uint32_t>& triangles, uint32_t points) {
  const uint32_t sides = static_cast<uint32_t>(triangles.size());
  twin_.assign(sides, none);
  // The sides by the point they start from (a counting sort), so that those from b are at hand
  // for a side from a to b.
  start_.assign(points + 1, 0);
  for (uint32_t h = 0; h < sides; ++h) ++start_[triangles[h] + 1];
  for (uint32_t p = 0; p < points; ++p) start_[p + 1] += start_[p];
  from_.resize(sides);
  fill_.assign(start_.begin(), start_.end() - 1);
  for (uint32_t h = 0; h < sides; ++h) from_[fill_[triangles[h]]++] = h;
  // The one side from `from` to `to`, or none where there is none or more than one.
  auto only = [&](uint32_t from, uint32_t to) {
    uint32_t found = none;
    for (uint32_t i = start_[from]; i < start_[from + 1]; ++i) {
      const uint32_t g = from_[i];
      if (triangles[next(g)] != to) continue;
      if (found != none) return none;
      found = g;
    }
    return found;
  };
  for (uint32_t h = 0; h < sides; ++h) {
    const uint32_t a = triangles[h], b = triangles[next(h)];
    if (a < b && only(a, b) == h) link(h, only(b, a));
  }
}

void DelaunayFlips::flip(const std::vector<Point>& points, std::vector<uint32_t>* triangles) {
  std::vector<uint32_t>& v = *triangles;
  stack_.clear();
  for (uint32_t h = 0; h < twin_.size(); ++h) {
    if (twin_[h] != none && h < twin_[h]) stack_.push_back(h);
  }
  // Each flip makes the triangulation strictly better, so the flips end; the budget only bounds
  // the work on a polygon of many vertices that ear clipping left far from Delaunay.
  size_t budget = 8 * twin_.size() + 64;
  while (!stack_.empty() && budget > 0) {
    const uint32_t h = stack_.back();
    stack_.pop_back();
    const uint32_t g = twin_[h];
    if (g == none) continue;
    // h runs from a to b in the triangle (a, b, c); g from b to a in (b, a, d).
    const uint32_t a = v[h], b = v[next(h)], c = v[prev(h)], d = v[prev(g)];
    const Point &pa = points[a], &pb = points[b], &pc = points[c], &pd = points[d];
    if (!(turn(pa, pb, pc) > 0 && turn(pb, pa, pd) > 0 && turn(pc, pa, pd) > 0 &&
          turn(pc, pd, pb) > 0 && clearlyInCircle(pa, pb, pc, pd))) {
      continue;
    }
    --budget;
    const uint32_t t = h - h % 3, u = g - g % 3;
    const uint32_t ad = next(g), db = prev(g), bc = next(h), ca = prev(h);
    const uint32_t outer[4] = {twin_[ad], twin_[ca], twin_[db], twin_[bc]};
    // (a, d, c) and (d, b, c), sharing the diagonal from d to c.
    v[t] = a, v[t + 1] = d, v[t + 2] = c;
    v[u] = d, v[u + 1] = b, v[u + 2] = c;
    link(t, outer[0]);
    link(t + 1, u + 2);
    link(t + 2, outer[1]);
    link(u, outer[2]);
    link(u + 1, outer[3]);
    for (uint32_t side : {t, t + 2, u, u + 1}) {
      if (twin_[side] != none) stack_.push_back(side);
    }
  }
}
