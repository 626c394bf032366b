#pragma once

// The text of a prism that extrude makes of a polygon: its base face, its top face, then a side
// face per edge (none for a bridge), each as an object that repeats the lead record. Every vertex
// record is formatted once, for the base and the top, and the faces are pieced together from
// that text; a large prism's text is made in slices on both threads.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Mesh.h"
#include "Point.h"

struct Prism {
  std::string lead;  // "newObject" and the lead record
  std::vector<Position> base;
  std::vector<float> w;
  Vector shift;              // from the base to the top
  std::vector<bool> bridge;  // per edge from vertex i to the next: it gets no side face

  size_t size() const { return base.size(); }
  Point basePoint(size_t i) const { return Point(base[i].x, base[i].y, base[i].z); }
  Point topPoint(size_t i) const { return basePoint(i) + shift; }
};

// Marks the edges g[i] -> g[i + 1] that the polygon also runs the other way, g[i + 1] -> g[i]:
// the bridges of a keyhole polygon to its holes, which get no side face, so that a polygon with
// holes extrudes into a closed solid with holes.
void markBridges(const std::vector<Position>& g, std::vector<bool>* bridge);

// The records of the base and the top vertices [first, last) of a prism.
class PrismRecords {
 public:
  void make(const Prism& prism, size_t first, size_t last);
  std::string_view base(size_t i) const { return record(i - first_); }
  std::string_view top(size_t i) const { return record(count_ + i - first_); }

 private:
  std::string_view record(size_t k) const {
    const size_t from = k == 0 ? 0 : ends_[k - 1];
    return std::string_view(text_.data() + from, ends_[k] - from);
  }

  size_t first_ = 0, count_ = 0;
  std::string text_;
  std::vector<uint32_t> ends_;  // where each base record's text ends, then each top record's
};

// The prism's text is a row of units: unit u < n is base vertex u, the lead first where u is 0;
// u < 2n is top vertex u - n, the lead first where u is n; from 2n on, the side of edge u - 2n.
// Appends the text of units [from, to); `records(i)` gives records that hold vertex i.
template <class Records>
void appendPrismUnits(const Prism& prism, size_t from, size_t to, Records&& records,
                      std::string* out) {
  const size_t n = prism.size();
  // Twice: once to add up the size, once to copy into it.
  auto each = [&](auto&& put) {
    for (size_t u = from; u < to; ++u) {
      if (u < n) {
        if (u == 0) put(prism.lead);
        put(records(u).base(u));
      } else if (u < 2 * n) {
        if (u == n) put(prism.lead);
        put(records(u - n).top(u - n));
      } else {
        const size_t a = u - 2 * n;
        if (prism.bridge[a]) continue;
        const size_t b = a + 1 < n ? a + 1 : 0;
        const PrismRecords& ra = records(a);
        const PrismRecords& rb = records(b);
        put(prism.lead);
        put(ra.base(a));
        put(ra.top(a));
        put(rb.top(b));
        put(rb.base(b));
      }
    }
  };
  size_t size = 0;
  each([&size](std::string_view s) { size += s.size(); });
  const size_t at = out->size();
  out->resize(at + size);
  char* p = out->data() + at;
  each([&p](std::string_view s) {
    s.copy(p, s.size());
    p += s.size();
  });
}

// The prisms of the objects that are made in slices, shared by the threads that make them: each
// slice takes the prism of its object, made by the first slice to ask, and the records of the
// vertices it needs, each block of them formatted by the first slice to need it.
class SlicedPrisms {
 public:
  class Shared {
   public:
    explicit Shared(size_t slices) : slicesLeft_(slices) {}
    // Makes the prism with `make` the first time; rethrows its failure every time.
    template <class Make>
    const Prism& prism(Make&& make) {
      std::call_once(made_, [&] {
        try {
          make(&prism_);
          blocks_ = std::make_unique<Block[]>(prism_.size() / blockSize + 1);
        } catch (...) {
          failure_ = std::current_exception();
        }
      });
      if (failure_) std::rethrow_exception(failure_);
      return prism_;
    }
    // The records that hold vertex i of the prism.
    const PrismRecords& records(size_t i);

   private:
    friend class SlicedPrisms;
    static constexpr size_t blockSize = 4096;
    struct Block {
      std::once_flag made;
      PrismRecords records;
    };
    std::once_flag made_;
    Prism prism_;
    std::exception_ptr failure_;
    std::unique_ptr<Block[]> blocks_;
    size_t slicesLeft_;
  };

  // The shared prism of object `index`, made in `slices` slices.
  std::shared_ptr<Shared> take(size_t index, size_t slices);
  // Slice of object `index` done: once all are, the prism is let go.
  void done(size_t index);

 private:
  std::mutex mutex_;
  std::vector<std::pair<size_t, std::shared_ptr<Shared>>> prisms_;  // by object; few at a time
};
