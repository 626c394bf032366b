#pragma once

#include <vector>

#include "Point.h"

// Whether a polygon has area, and which way it faces.

// The Newell normal: the polygon's vector area, doubled. Zero when the polygon has no area.
Vector newellNormal(const std::vector<Point>& polygon);

// The normal of the first corner, (g1 − g2) × (g2 − g3), turned round where it points against
// the Newell normal (a reflex first corner); the Newell normal where the first corner is
// degenerate. Zero for a polygon without area: fewer than three vertices, or all on one line.
Vector polygonNormal(const std::vector<Point>& polygon);
