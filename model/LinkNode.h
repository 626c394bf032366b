#pragma once

#include <cstddef>

// One record of an object: four floats (x, y, z, w) and the link to the next record.
// Nodes are owned by the LinkNodeHolder that created them and are never copied: a copy would
// share the `next` pointer with the original.
class LinkNode {
 public:
  LinkNode(float x, float y, float z, float w);
  LinkNode(const LinkNode&) = delete;
  LinkNode& operator=(const LinkNode&) = delete;

  // Records come from a pool (Pool.h).
  static void* operator new(std::size_t size);
  static void operator delete(void* node, std::size_t size) noexcept;

  LinkNode* getNext() const { return next; }
  void setNext(LinkNode* n) { next = n; }

  float x;
  float y;
  float z;
  float w;  // homogeneous weight

 private:
  LinkNode* next = nullptr;  // following record of the same object; null on the last record
};
