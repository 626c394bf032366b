#pragma once

#include <cstdint>
#include <vector>

#include "Mesh.h"

// The parts of a mesh: its faces joined across shared edges into surfaces, each turned to face
// outward. Only faces with area take part (Normals.h); points, lines and faces without area
// belong to no part.
//
// An edge used by two faces joins them. An edge used by more than two (solids that touch along
// an edge or a face) is a touching edge: its faces are paired, first two faces of one surface
// that already meet elsewhere, then the rest in their order around the edge, so that each part
// is a surface of its own. An edge left with one face is open.
//
// A part is closed when none of its edges is open and its faces can be oriented consistently
// (each edge walked once each way). A closed part is turned to enclose a positive volume; an
// open one consistently across its edges so that its volume measured about its own centroid is
// positive (a flat one keeps the winding of its faces).
struct Parts {
  static constexpr uint32_t noPart = UINT32_MAX;

  std::vector<uint32_t> part;  // per face: its part, from 0, or noPart
  std::vector<bool> reversed;  // per face: turn it round to face outward
  struct Part {
    bool closed = false;
    double volume = 0;  // outward, for a closed part
  };
  std::vector<Part> parts;
  size_t openEdges = 0;      // edges used by one face, or left with one when paired
  size_t touchingEdges = 0;  // edges used by more than two faces
  size_t inwardFaces = 0;    // faces turned round
  bool closed = false;       // at least one part, and every part closed
  double volume = 0;         // of the closed parts
};

Parts findParts(const Mesh& mesh);
