#include "LinkNode.h"

#include "Pool.h"

using NodePool = Pool<sizeof(LinkNode), alignof(LinkNode)>;

LinkNode::LinkNode(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

void* LinkNode::operator new(std::size_t size) {
  if (size != sizeof(LinkNode)) return ::operator new(size);
  return NodePool::take();
}

void LinkNode::operator delete(void* node, std::size_t size) noexcept {
  if (size != sizeof(LinkNode)) {
    ::operator delete(node);
  } else if (node != nullptr) {
    NodePool::give(node);
  }
}
