#include "Revolve.h"

#include <algorithm>
#include <cmath>

namespace {

// The profile in the plane of the axis: each vertex's height along the axis and its distance
// from it, toward the profile's side.
struct Profile {
  Vec3 a, u, w;  // the axis, the profile's side, and a × u
  std::vector<double> height, radius;
};

RevolveFault profileOf(const std::vector<Vec3>& g, const RevolveSweep& sweep, Profile* p) {
  if (g.size() < 3) return RevolveFault::noArea;
  p->a = unit(sweep.axis);
  std::vector<Vec3> radial(g.size());
  double farthest = 0;
  for (size_t i = 0; i < g.size(); ++i) {
    const Vec3 d = g[i] - sweep.centre;
    const double h = dot(d, p->a);
    p->height.push_back(h);
    radial[i] = d - h * p->a;
    if (length(radial[i]) > farthest) {
      farthest = length(radial[i]);
      p->u = unit(radial[i]);
    }
  }
  if (farthest == 0) return RevolveFault::noArea;
  p->w = cross(p->a, p->u);
  for (const Vec3& r : radial) {
    double rho = dot(r, p->u);
    if (std::fabs(dot(r, p->w)) > sweep.tolerance) return RevolveFault::offPlane;
    if (rho < -sweep.tolerance) return RevolveFault::crossesAxis;
    if (rho <= sweep.tolerance) rho = 0;  // on the axis
    p->radius.push_back(rho);
  }
  double area = 0;
  for (size_t i = 0; i < g.size(); ++i) {
    const size_t j = i + 1 < g.size() ? i + 1 : 0;
    area += p->radius[i] * p->height[j] - p->radius[j] * p->height[i];
  }
  return area == 0 ? RevolveFault::noArea : RevolveFault::none;
}

}  // namespace

RevolveFault revolve(const std::vector<Vec3>& profile, const RevolveSweep& sweep,
                     const std::function<void(const Vec3* vertices, size_t count)>& face) {
  Profile p;
  const RevolveFault fault = profileOf(profile, sweep, &p);
  if (fault != RevolveFault::none) return fault;
  const size_t n = profile.size();
  const bool whole = sweep.degrees >= 360;
  std::vector<double> cosine(size_t(sweep.steps) + 1), sine(size_t(sweep.steps) + 1);
  for (long k = 0; k <= sweep.steps; ++k) {
    const long turn = whole && k == sweep.steps ? 0 : k;  // the ring closes on its first step
    const double angle = sweep.degrees * M_PI / 180 * double(turn) / double(sweep.steps);
    cosine[size_t(k)] = std::cos(angle);
    sine[size_t(k)] = std::sin(angle);
  }
  auto at = [&](size_t i, long k) {
    const double r = p.radius[i];
    return sweep.centre + p.height[i] * p.a + r * (cosine[size_t(k)] * p.u + sine[size_t(k)] * p.w);
  };
  // The faces of one step; `emit` false only sums their cones from the centre, whose sign is
  // the solid's (the centre lies in the plane of the end profiles, whose cones are flat).
  Vec3 buffer[4];
  double volume = 0;
  bool flip = false;
  auto step = [&](long k, bool emit) {
    for (size_t i = 0; i < n; ++i) {
      const size_t j = i + 1 < n ? i + 1 : 0;
      if (p.radius[i] == 0 && p.radius[j] == 0) continue;  // along the axis: nothing
      size_t count = 0;
      buffer[count++] = at(i, k);
      buffer[count++] = at(j, k);
      if (p.radius[j] != 0) buffer[count++] = at(j, k + 1);
      if (p.radius[i] != 0) buffer[count++] = at(i, k + 1);
      if (!emit) {
        for (size_t t = 1; t + 1 < count; ++t) {
          volume += dot(buffer[0] - sweep.centre,
                        cross(buffer[t] - sweep.centre, buffer[t + 1] - sweep.centre));
        }
        continue;
      }
      if (flip) std::reverse(buffer + 1, buffer + count);
      face(buffer, count);
    }
  };
  step(0, false);
  flip = volume < 0;
  const long last = std::min(sweep.steps, sweep.lastStep);
  for (long k = std::max(0L, sweep.firstStep); k < last; ++k) step(k, true);
  if (whole || !sweep.ends) return RevolveFault::none;
  // The ends: the first profile walked back, the last as it is, both turned with the ring.
  std::vector<Vec3> end(n);
  for (size_t i = 0; i < n; ++i) end[i] = at(n - 1 - i, 0);
  if (flip) std::reverse(end.begin() + 1, end.end());
  face(end.data(), n);
  for (size_t i = 0; i < n; ++i) end[i] = at(i, sweep.steps);
  if (flip) std::reverse(end.begin() + 1, end.end());
  face(end.data(), n);
  return RevolveFault::none;
}
