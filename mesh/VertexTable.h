#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Mesh.h"

// Shares vertices: the index of a position in a list of positions, added when it is new.
// Positions are the same when their bits are (so 0 and -0 are two). An open-addressing hash
// table, because meshes have millions of vertices.
class VertexTable {
 public:
  // `expected`: about how many positions will be asked for, so the table need not grow.
  explicit VertexTable(std::vector<Position>* positions, size_t expected = 0);
  uint32_t index(const Position& p);
  // index() of each of `count` positions into out[0 .. count), faster for many at once: the
  // table's memory is fetched ahead.
  void indices(const Position* positions, size_t count, uint32_t* out);

 private:
  void grow();

  std::vector<Position>* positions_;
  std::vector<uint32_t> slots_;  // vertex index + 1, or 0 for a free slot
  size_t mask_ = 0;
};
