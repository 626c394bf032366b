#include "VertexTable.h"

#include <cstring>

namespace {

uint64_t bitsOf(const Position& p, uint32_t* z) {
  uint32_t xyz[3];
  std::memcpy(xyz, &p, sizeof xyz);
  *z = xyz[2];
  return uint64_t{xyz[0]} << 32 | xyz[1];
}

size_t hashOf(const Position& p) {
  uint32_t z;
  uint64_t h = bitsOf(p, &z) ^ (uint64_t{z} * 0x9E3779B97F4A7C15ULL);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  return static_cast<size_t>(h);
}

bool same(const Position& a, const Position& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

VertexTable::VertexTable(std::vector<Position>* positions, size_t expected)
    : positions_(positions) {
  size_t size = 1024;
  while (size < 2 * expected) size *= 2;
  slots_.assign(size, 0);
  mask_ = slots_.size() - 1;
  for (size_t i = 0; i < positions_->size(); ++i) {
    // Positions already in the list are shared too.
    size_t slot = hashOf((*positions_)[i]) & mask_;
    while (slots_[slot] != 0) slot = (slot + 1) & mask_;
    slots_[slot] = static_cast<uint32_t>(i + 1);
    if (2 * (i + 1) > slots_.size()) grow();
  }
}

uint32_t VertexTable::index(const Position& p) {
  size_t slot = hashOf(p) & mask_;
  while (slots_[slot] != 0) {
    const uint32_t i = slots_[slot] - 1;
    if (same((*positions_)[i], p)) return i;
    slot = (slot + 1) & mask_;
  }
  positions_->push_back(p);
  const auto i = static_cast<uint32_t>(positions_->size() - 1);
  slots_[slot] = i + 1;
  if (2 * positions_->size() > slots_.size()) grow();
  return i;
}

void VertexTable::indices(const Position* positions, size_t count, uint32_t* out) {
  constexpr size_t ahead = 16;
  for (size_t i = 0; i < count; ++i) {
    if (i + ahead < count) __builtin_prefetch(&slots_[hashOf(positions[i + ahead]) & mask_]);
    out[i] = index(positions[i]);
  }
}

void VertexTable::grow() {
  std::vector<uint32_t> old(slots_.size() * 2, 0);
  old.swap(slots_);
  mask_ = slots_.size() - 1;
  for (uint32_t entry : old) {
    if (entry == 0) continue;
    size_t slot = hashOf((*positions_)[entry - 1]) & mask_;
    while (slots_[slot] != 0) slot = (slot + 1) & mask_;
    slots_[slot] = entry;
  }
}
