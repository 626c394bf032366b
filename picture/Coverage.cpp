#include "Coverage.h"

#include <algorithm>
#include <cmath>

Coverage::Coverage(const QSize& size)
    : columns_((size.width() + block - 1) / block),
      rows_((size.height() + block - 1) / block),
      words_((columns_ + 63) / 64),
      bits_(size_t(rows_) * size_t(words_), 0),
      touched_(size_t(columns_), 0) {}

bool Coverage::covers(double x0, double y0, double x1, double y1) const {
  // Only the part inside the picture counts; a box wholly outside it is covered.
  const int c0 = std::max(0, int(std::floor(x0 / block)));
  const int c1 = std::min(columns_ - 1, int(std::floor(x1 / block)));
  const int r0 = std::max(0, int(std::floor(y0 / block)));
  const int r1 = std::min(rows_ - 1, int(std::floor(y1 / block)));
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      if (c % 64 == 0 && c + 63 <= c1) {  // a whole word at a time
        if (bits_[size_t(r) * size_t(words_) + size_t(c / 64)] != ~uint64_t{0}) return false;
        c += 63;
        continue;
      }
      if (!bit(c, r)) return false;
    }
  }
  return true;
}

void Coverage::add(const QPointF* polygon, size_t count) {
  const int n = int(count);
  if (n < 3) return;
  double y0 = polygon[0].y(), y1 = y0;
  for (int i = 0; i < n; ++i) {
    y0 = std::min(y0, polygon[i].y());
    y1 = std::max(y1, polygon[i].y());
  }
  // The x where the boundary crosses the line y, sorted: inside between pairs.
  auto crossings = [&](double y, std::vector<double>& xs) {
    xs.clear();
    for (int i = 0; i < n; ++i) {
      const QPointF& p = polygon[i];
      const QPointF& q = polygon[(i + 1) % n];
      if ((p.y() <= y) != (q.y() <= y)) {
        xs.push_back(p.x() + (y - p.y()) * (q.x() - p.x()) / (q.y() - p.y()));
      }
    }
    std::sort(xs.begin(), xs.end());
  };
  const int r0 = std::max(0, int(std::ceil(y0 / block)));
  const int r1 = std::min(rows_ - 1, int(std::floor(y1 / block)) - 1);
  for (int r = r0; r <= r1; ++r) {
    const double top = double(r) * block, bottom = top + block;
    if (r == r0) {
      crossings(top, top_);
    } else {
      top_.swap(bottom_);  // this row's top line is the last row's bottom line
    }
    crossings(bottom, bottom_);
    // The x-extent of each edge within the band: no block it touches is wholly inside.
    std::fill(touched_.begin(), touched_.end(), 0);
    for (int i = 0; i < n; ++i) {
      QPointF p = polygon[i], q = polygon[(i + 1) % n];
      if (std::max(p.y(), q.y()) < top || std::min(p.y(), q.y()) > bottom) continue;
      auto at = [&](double y) { return p.x() + (y - p.y()) * (q.x() - p.x()) / (q.y() - p.y()); };
      double xa = p.x(), xb = q.x();
      if (p.y() != q.y()) {
        const double ya = std::clamp(p.y(), top, bottom), yb = std::clamp(q.y(), top, bottom);
        xa = at(ya);
        xb = at(yb);
      }
      const int from = std::max(0, int(std::floor(std::min(xa, xb) / block)) - 1);
      const int to = std::min(columns_ - 1, int(std::floor(std::max(xa, xb) / block)) + 1);
      for (int c = from; c <= to; ++c) touched_[size_t(c)] = 1;
    }
    // Blocks inside on both lines of the band, and touched by no edge.
    for (size_t a = 0, b = 0; a + 1 < top_.size() && b + 1 < bottom_.size();) {
      const double from = std::max(top_[a], bottom_[b]);
      const double to = std::min(top_[a + 1], bottom_[b + 1]);
      int c0 = std::max(0, int(std::ceil(from / block)));
      const int c1 = std::min(columns_ - 1, int(std::floor(to / block)) - 1);
      for (int c = c0; c <= c1; ++c) {
        if (touched_[size_t(c)] == 0) {
          bits_[size_t(r) * size_t(words_) + size_t(c / 64)] |= uint64_t{1} << (c % 64);
        }
      }
      if (top_[a + 1] < bottom_[b + 1]) {
        a += 2;
      } else {
        b += 2;
      }
    }
  }
}
