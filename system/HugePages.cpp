// The program's operator new: malloc, and for a large block a request that the kernel back it
// with huge pages where it can (transparent huge pages, in their "madvise" mode as Debian sets
// them). The model's arrays and the text of a large output are blocks of hundreds of megabytes;
// with pages of 4 KiB, touching them the first time is a large share of a command's time.
// Linked into the program alone; a sanitizer build keeps the sanitizer's own.

#if defined(__SANITIZE_ADDRESS__)
#define VANDREL_HUGE_PAGES 0
#elif defined(__has_feature)
#define VANDREL_HUGE_PAGES !__has_feature(address_sanitizer)
#else
#define VANDREL_HUGE_PAGES 1
#endif

#if VANDREL_HUGE_PAGES

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t hugePage = std::size_t{2} << 20;
constexpr std::size_t large = hugePage;

void* allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  if (size >= large) {
    // The whole huge pages within the block; its first bytes may share a page with another.
    const auto first = (reinterpret_cast<std::uintptr_t>(p) + hugePage - 1) & ~(hugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(p) + size) & ~(hugePage - 1);
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
  }
  return p;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#endif
