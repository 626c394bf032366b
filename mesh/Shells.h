#pragma once

#include <vector>

#include "Mesh.h"

// The closed surfaces of a mesh. Faces that share edges form connected sets; a set is a closed
// shell when every edge of its faces is used by exactly two of them and the faces can be
// oriented consistently, so that each shared edge is walked once each way. Faces of fewer than
// three vertices, points and lines, have no edges here.
struct Shells {
  // Per face: turn it round so that every closed shell faces outward (encloses a positive
  // volume). Faces of open surfaces keep their winding.
  std::vector<bool> reversed;
  // Edges (pairs of distinct vertices) not used by exactly two faces; 0 for a closed mesh.
  size_t openEdges = 0;
  // Whether every face belongs to a closed shell.
  bool closed = false;
  // The volume the closed shells enclose, each counted positive.
  double volume = 0;
};

Shells findShells(const Mesh& mesh);
