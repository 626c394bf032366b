#pragma once

#include "Mesh.h"

// What is in a mesh: its size and area as read, and, after welding (Weld.h), its parts and
// whether they are closed solids and of what volume (Parts.h).
struct Measures {
  size_t faces = 0;
  size_t corners = 0;
  bool hasBounds = false;  // false without a vertex
  Position low{0, 0, 0}, high{0, 0, 0};
  double area = 0;         // of every face
  size_t withoutArea = 0;  // faces without area (Normals.h), as read or once welded
  size_t colours = 0;
  size_t parts = 0;
  size_t openEdges = 0;
  size_t touchingEdges = 0;
  size_t inwardFaces = 0;
  bool closed = false;  // at least one part, and every part closed
  double volume = 0;    // of the closed parts
};

// `weldDistance` as for solidOf (Solid.h).
Measures measure(Mesh mesh, double weldDistance);
