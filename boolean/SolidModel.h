#pragma once

#include <QString>
#include <array>
#include <vector>

#include "ExactSolid.h"
#include "Mesh.h"

// A model taken as a set of solids for a boolean operation: its faces welded and split into parts
// as export finds them, each part closed and not crossing itself; the solid of the parts
// (solidOfParts: crossing parts united, a part wholly inside another a hollow).
struct SolidModel {
  Mesh mesh;                                // welded, a face per object of the model, in order
  std::vector<std::array<float, 4>> leads;  // per face: its object's lead record
  std::vector<bool> reversed;               // per face: it faces inward as written
  std::vector<uint32_t> triangleCount;      // per face
  ExactSolid solid;                         // labelled `firstLabel` + face
};

// Reads the model file at `path` and makes its solid, its faces labelled from `firstLabel` on.
// RunErrors name the file: "'PATH': not a closed solid (N open edges)", a part whose surface
// crosses itself, a model without a solid.
SolidModel readSolidModel(const QString& path, uint32_t firstLabel, Labels* labels);
