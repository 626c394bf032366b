#pragma once

#include <cstdint>
#include <vector>

// Polygons with holes as single polygons: each hole joined to the polygon around it by an edge
// that the polygon runs out and back (a keyhole polygon), the form in which extrude takes them.

struct Vec2 {
  double u = 0, v = 0;
};

// A loop of `count` points from `first` in a list of points.
struct Loop {
  uint32_t first;
  uint32_t count;
};

// The points of `outer`, counter-clockwise, with every one of `holes`, clockwise, inside it and
// apart from it and each other, bridged in: the indices of one polygon into `points`. Each hole
// is joined, from its vertex of largest u, to a vertex the polygon so far can see from there
// (towards larger u), so the bridges cross nothing; the holes are taken from the largest u down.
std::vector<uint32_t> bridgeHoles(const std::vector<Vec2>& points, Loop outer,
                                  std::vector<Loop> holes);

// Twice the signed area of a loop: positive counter-clockwise.
double loopArea(const std::vector<Vec2>& points, Loop loop);

// Whether p lies inside the loop (points on its edges may count either way).
bool insideLoop(const std::vector<Vec2>& points, Loop loop, Vec2 p);
