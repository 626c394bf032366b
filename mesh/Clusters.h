#pragma once

#include <cstdint>
#include <vector>

#include "Mesh.h"

// A mesh's surfaces, faces joined by the positions they share (bit for bit, as the mesh shares
// them), and clusters of surfaces that come near each other: what welding one cluster does is
// what it does there in the whole mesh, where the clusters are that far apart.

struct SurfaceBox {
  double low[3], high[3];
};

struct Surfaces {
  std::vector<uint32_t> of;         // per position: its surface, numbered in order of their first
  std::vector<SurfaceBox> boxes;    // per surface
  std::vector<uint32_t> positions;  // per surface: how many
};
Surfaces surfacesOf(const Mesh& mesh);

// Per surface, its cluster: the least surface of those whose boxes come within `margin` of
// each other, and of those within `margin` of them, and so on. Empty where finding them would
// take longer than welding the whole mesh: boxes that nearly all overlap.
std::vector<uint32_t> clustersOf(const std::vector<SurfaceBox>& boxes, double margin);
