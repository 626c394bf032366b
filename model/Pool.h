#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// Hands out blocks of one size from slabs and keeps freed blocks for reuse; the slabs are
// released when the program ends. Models hold millions of records and objects, and the general
// allocator would spend a third more memory and much more time on them one by one.
template <std::size_t size, std::size_t alignment>
class Pool {
 public:
  static void* take() {
    Pool& pool = instance();
    if (pool.free_ != nullptr) {
      Block* block = pool.free_;
      pool.free_ = block->next;
      return block;
    }
    if (pool.used_ == perSlab) {
      pool.slabs_.push_back(std::make_unique<Block[]>(perSlab));
      pool.used_ = 0;
    }
    return &pool.slabs_.back()[pool.used_++];
  }

  static void give(void* pointer) {
    Pool& pool = instance();
    auto* block = static_cast<Block*>(pointer);
    block->next = pool.free_;
    pool.free_ = block;
  }

 private:
  union Block {
    Block* next;
    alignas(alignment) unsigned char bytes[size];
  };
  static constexpr std::size_t perSlab = 8192;

  static Pool& instance() {
    static Pool pool;
    return pool;
  }

  std::vector<std::unique_ptr<Block[]>> slabs_;
  std::size_t used_ = perSlab;
  Block* free_ = nullptr;
};

// The class-specific operator new and delete of a pooled class T: blocks of T's size come from
// the pool, anything else (a derived class) from the general allocator. Built with
// VANDREL_NO_POOL, everything comes from the general allocator, so that a leak checker sees
// each block (the pool keeps every slab reachable).
template <class T>
void* poolNew(std::size_t size) {
#ifdef VANDREL_NO_POOL
  return ::operator new(size);
#else
  if (size != sizeof(T)) return ::operator new(size);
  return Pool<sizeof(T), alignof(T)>::take();
#endif
}

template <class T>
void poolDelete(void* pointer, std::size_t size) noexcept {
#ifdef VANDREL_NO_POOL
  static_cast<void>(size);
  ::operator delete(pointer);
#else
  if (size != sizeof(T)) {
    ::operator delete(pointer);
  } else if (pointer != nullptr) {
    Pool<sizeof(T), alignof(T)>::give(pointer);
  }
#endif
}
