#include "Bounds.h"

#include <algorithm>

void Bounds::include(const Position& p) {
  if (empty) {
    empty = false;
    low = high = p;
    return;
  }
  low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
  high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
}

Bounds boundsOf(const Mesh& mesh) {
  Bounds b;
  for (const Position& p : mesh.positions) b.include(p);
  return b;
}
