#pragma once

#include "Mesh.h"

// The box that holds every position of a mesh, each side from the smallest coordinate to the
// largest.
struct Bounds {
  bool empty = true;  // no position: low and high are 0
  Position low{0, 0, 0}, high{0, 0, 0};

  // Widens the box to hold p.
  void include(const Position& p);
};

Bounds boundsOf(const Mesh& mesh);
