#include "Bounds.h"

#include <algorithm>

Bounds boundsOf(const Mesh& mesh) {
  Bounds b;
  if (mesh.positions.empty()) return b;
  b.empty = false;
  b.low = b.high = mesh.positions.front();
  for (const Position& p : mesh.positions) {
    b.low = {std::min(b.low.x, p.x), std::min(b.low.y, p.y), std::min(b.low.z, p.z)};
    b.high = {std::max(b.high.x, p.x), std::max(b.high.y, p.y), std::max(b.high.z, p.z)};
  }
  return b;
}
