#pragma once

#include <QPointF>
#include <QSize>
#include <cstdint>
#include <vector>

// Which parts of a picture polygons already cover, in blocks of 4 x 4 pixels, so that a
// polygon that lies wholly behind nearer ones need not be drawn. A block counts as covered only
// when it lies wholly inside a polygon, no edge passing through it: whatever was drawn there
// before that polygon, antialiased edges included, is painted over.
class Coverage {
 public:
  explicit Coverage(const QSize& size);
  // Whether every block that the box (in pixels, inclusive) touches is covered.
  bool covers(double x0, double y0, double x1, double y1) const;
  // Marks the blocks wholly inside the polygon, by the odd-even rule.
  void add(const QPointF* polygon, size_t count);

 private:
  static constexpr int block = 4;
  bool bit(int column, int row) const {
    return (bits_[size_t(row) * size_t(words_) + size_t(column / 64)] >> (column % 64)) & 1;
  }
  int columns_, rows_, words_;
  std::vector<uint64_t> bits_;
  std::vector<double> top_, bottom_;  // crossings of a block row's lines, reused
  std::vector<uint8_t> touched_;      // per column of a block row: an edge passes near
};
