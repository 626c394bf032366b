#pragma once

#include "Mesh.h"

// What is in a mesh: its size, its area, and whether it is a closed solid and of what volume.
struct Measures {
  size_t faces = 0;
  size_t corners = 0;
  bool hasBounds = false;  // false without a vertex
  Position low{0, 0, 0}, high{0, 0, 0};
  double area = 0;         // of every face
  size_t withoutArea = 0;  // faces of fewer than three vertices, or all on one line
  size_t colours = 0;
  bool closed = false;  // every edge used by exactly two faces
  size_t openEdges = 0;
  double volume = 0;  // enclosed, when closed
};

Measures measure(const Mesh& mesh);
