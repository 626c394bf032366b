#include "LinkNode.h"

#include <memory>
#include <new>
#include <vector>

namespace {

// Hands out record-sized blocks from slabs and keeps freed blocks for reuse. The slabs are
// released when the program ends.
class NodePool {
 public:
  void* take() {
    if (free_ != nullptr) {
      Block* block = free_;
      free_ = block->next;
      return block;
    }
    if (used_ == perSlab) {
      slabs_.push_back(std::make_unique<Block[]>(perSlab));
      used_ = 0;
    }
    return &slabs_.back()[used_++];
  }

  void give(void* node) {
    auto* block = static_cast<Block*>(node);
    block->next = free_;
    free_ = block;
  }

 private:
  union Block {
    Block* next;
    alignas(LinkNode) unsigned char bytes[sizeof(LinkNode)];
  };
  static constexpr std::size_t perSlab = 8192;

  std::vector<std::unique_ptr<Block[]>> slabs_;
  std::size_t used_ = perSlab;
  Block* free_ = nullptr;
};

NodePool& pool() {
  static NodePool instance;
  return instance;
}

}  // namespace

LinkNode::LinkNode(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

void* LinkNode::operator new(std::size_t size) {
  if (size != sizeof(LinkNode)) return ::operator new(size);
  return pool().take();
}

void LinkNode::operator delete(void* node, std::size_t size) noexcept {
  if (size != sizeof(LinkNode)) {
    ::operator delete(node);
  } else if (node != nullptr) {
    pool().give(node);
  }
}
