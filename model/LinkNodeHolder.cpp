#include "LinkNodeHolder.h"

#include "Pool.h"

void* LinkNodeHolder::operator new(std::size_t size) { return poolNew<LinkNodeHolder>(size); }

void LinkNodeHolder::operator delete(void* object, std::size_t size) noexcept {
  poolDelete<LinkNodeHolder>(object, size);
}

LinkNodeHolder::~LinkNodeHolder() {
  // A loop, not a recursive delete: objects may hold millions of records.
  LinkNode* node = first;
  while (node != nullptr) {
    LinkNode* following = node->getNext();
    delete node;
    node = following;
  }
}

bool LinkNodeHolder::advance() {
  if (current->getNext() == nullptr) return false;
  current = current->getNext();
  return true;
}

void LinkNodeHolder::add(float x, float y, float z, float w) {
  auto* node = new LinkNode(x, y, z, w);
  if (first == nullptr) {
    first = node;
  } else {
    current->setNext(node);
  }
  current = node;
  last = node;
}
