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
// (each edge walked once each way). A closed part is turned to enclose a positive volume, unless
// it is a hollow in another (Hollows.h): then it is turned to face into the hollow, so that its
// volume is negative. An open part is turned consistently across its edges so that its volume
// measured about its own centroid is positive (a flat one keeps the winding of its faces).
struct Parts {
  static constexpr uint32_t noPart = UINT32_MAX;

  std::vector<uint32_t> part;  // per face: its part, from 0, or noPart
  std::vector<bool> reversed;  // per face: turn it round to face outward (a hollow: into it)
  struct Part {
    bool closed = false;
    double volume = 0;        // for a closed part, as it faces: negative for a hollow
    uint32_t shell = noPart;  // for a hollow: the part it is a hollow of
  };
  std::vector<Part> parts;
  size_t openEdges = 0;      // edges used by one face, or left with one when paired
  size_t touchingEdges = 0;  // edges used by more than two faces
  size_t inwardFaces = 0;    // faces turned round
  bool closed = false;       // at least one part, and every part closed
  double volume = 0;         // of the closed parts, less their hollows

  // The part whose solid part p belongs to: its shell for a hollow, else p itself.
  uint32_t solidOf(uint32_t p) const { return parts[p].shell == noPart ? p : parts[p].shell; }
  // The solid face f belongs to, or parts.size() for a face in no part: a group for the formats
  // that write an object per solid.
  size_t solidOfFace(size_t f) const {
    return part[f] == noPart ? parts.size() : size_t{solidOf(part[f])};
  }
};

Parts findParts(const Mesh& mesh);
