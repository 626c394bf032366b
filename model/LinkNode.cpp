#include "LinkNode.h"

#include "Pool.h"

LinkNode::LinkNode(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

void* LinkNode::operator new(std::size_t size) { return poolNew<LinkNode>(size); }

void LinkNode::operator delete(void* node, std::size_t size) noexcept {
  poolDelete<LinkNode>(node, size);
}
