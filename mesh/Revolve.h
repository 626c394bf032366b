#pragma once

#include <climits>
#include <cstddef>
#include <functional>
#include <vector>

#include "Vec3.h"

// A solid of revolution: a profile polygon, lying in a plane through an axis on one side of it,
// swept about the axis through an angle in equal steps. One planar quadrilateral per profile
// edge and step (a triangle where the edge ends on the axis; nothing for an edge along the
// axis); below a full turn, the profile at the start and at the end close the solid. The faces
// come turned so that the solid faces outward. With a full turn, the last step's vertices are
// the first step's, bit for bit.
struct RevolveSweep {
  Vec3 axis;         // not zero
  Vec3 centre;       // a point of the axis
  long steps;        // at least 1, or 3 for a full turn
  double degrees;    // in (0, 360], right-handed about the axis
  double tolerance;  // how far off the plane and across the axis a vertex may lie
  // The part of the sweep to hand on: the faces of steps [firstStep, lastStep) and, with
  // `ends`, the two end profiles (below a full turn), which come after every step's faces.
  long firstStep = 0;
  long lastStep = LONG_MAX;
  bool ends = true;
};

enum class RevolveFault { none, noArea, crossesAxis, offPlane };

// Hands each face to `face` (its vertices and their count), or returns what is wrong with the
// profile before handing any.
RevolveFault revolve(const std::vector<Vec3>& profile, const RevolveSweep& sweep,
                     const std::function<void(const Vec3* vertices, size_t count)>& face);
