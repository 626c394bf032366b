// The picture drawn into an image with a depth buffer: triangles from front to back, each
// pixel kept by the nearest surface, with tiles of pixels that nearer surfaces already cover
// wholly passed over; then the outlines and lines, where nothing nearer hides them.

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "View.h"

namespace {

const QColor background(Qt::white);
constexpr int tileSide = 8;
constexpr int blockTiles = 8;  // a block is 8 x 8 tiles: 64 x 64 pixels
constexpr float nothing = -std::numeric_limits<float>::infinity();
constexpr uint32_t none = UINT32_MAX;

}  // namespace

// The pixels of a band of rows, at the scale they are drawn, with their depth, and for each tile
// of 8 x 8 pixels how many are covered and, once all are, the farthest depth among them (worked
// out again when the pixel that had it is drawn nearer). Each block of 8 x 8 tiles keeps the
// farthest of its tiles' farthest depths, so that a large triangle behind a covered part of the
// picture is passed over at a look per block. Both are never nearer than the true farthest depth.
struct Band {
  int width, rows, top;  // in pixels of the drawing scale
  std::vector<QRgb> pixels;
  std::vector<float> depth;
  std::vector<uint32_t> owner;  // the triangle a pixel shows, or none
  int tilesAcross;
  std::vector<uint8_t> filled;
  std::vector<float> farthest;
  std::vector<uint8_t> stale;  // farthest is to be worked out again
  int blocksAcross;
  std::vector<float> blockFarthest;
  std::vector<uint8_t> blockStale;
  std::vector<uint8_t> hiddenTiles;  // of the strip of tiles being drawn

  Band(int w, int r, int t, QRgb blank)
      : width(w),
        rows(r),
        top(t),
        pixels(size_t(w) * size_t(r), blank),
        depth(size_t(w) * size_t(r), nothing),
        owner(size_t(w) * size_t(r), none),
        tilesAcross((w + tileSide - 1) / tileSide),
        blocksAcross((tilesAcross + blockTiles - 1) / blockTiles) {
    const int tilesDown = (r + tileSide - 1) / tileSide;
    const size_t tiles = size_t(tilesAcross) * size_t(tilesDown);
    filled.assign(tiles, 0);
    farthest.assign(tiles, nothing);
    stale.assign(tiles, 0);
    const size_t blocks = size_t(blocksAcross) * size_t((tilesDown + blockTiles - 1) / blockTiles);
    blockFarthest.assign(blocks, nothing);
    blockStale.assign(blocks, 0);
    hiddenTiles.assign(size_t(tilesAcross), 0);
  }

  size_t tileOf(int x, int y) const {
    return size_t(y / tileSide) * size_t(tilesAcross) + size_t(x / tileSide);
  }
  // Whether every pixel of the tile at (x, y) is nearer than `z`.
  bool hides(int x, int y, float z) {
    const size_t tile = tileOf(x, y);
    if (stale[tile] != 0) refresh(x, y);
    return farthest[tile] > z;
  }
  // Whether every pixel of the rectangle of pixels [x0, x1] x [y0, y1], clipped to the band, is
  // nearer than `z`, as far as the blocks it touches tell.
  bool hidesAll(int x0, int x1, int y0, int y1, float z) {
    const int blockSide = tileSide * blockTiles;
    const int bx0 = std::max(0, x0) / blockSide, bx1 = std::min(width - 1, x1) / blockSide;
    const int by0 = std::max(0, y0) / blockSide, by1 = std::min(rows - 1, y1) / blockSide;
    for (int by = by0; by <= by1; ++by) {
      for (int bx = bx0; bx <= bx1; ++bx) {
        const size_t block = size_t(by) * size_t(blocksAcross) + size_t(bx);
        if (blockStale[block] != 0) refreshBlock(bx, by);
        if (!(blockFarthest[block] > z)) return false;
      }
    }
    return true;
  }

  void put(int x, int y, float z, QRgb colour, uint32_t triangle) {
    const size_t at = size_t(y) * size_t(width) + size_t(x);
    if (!(z > depth[at])) return;
    const float before = depth[at];
    depth[at] = z;
    pixels[at] = colour;
    owner[at] = triangle;
    const size_t tile = tileOf(x, y);
    if (before != nothing) {
      if (before == farthest[tile]) stale[tile] = 1;
      return;
    }
    const int tileWidth = std::min(tileSide, width - (x / tileSide) * tileSide);
    const int tileRows = std::min(tileSide, rows - (y / tileSide) * tileSide);
    if (++filled[tile] == tileWidth * tileRows) refresh(x, y);
  }

 private:
  void refresh(int x, int y) {
    const size_t tile = tileOf(x, y);
    const int x0 = (x / tileSide) * tileSide, y0 = (y / tileSide) * tileSide;
    const int x1 = std::min(width, x0 + tileSide), y1 = std::min(rows, y0 + tileSide);
    float far = std::numeric_limits<float>::infinity();
    for (int j = y0; j < y1; ++j) {
      const float* row = &depth[size_t(j) * size_t(width)];
      for (int i = x0; i < x1; ++i) far = std::min(far, row[i]);
    }
    farthest[tile] = far;
    stale[tile] = 0;
    const int tileX = x / tileSide, tileY = y / tileSide;
    blockStale[size_t(tileY / blockTiles) * size_t(blocksAcross) + size_t(tileX / blockTiles)] = 1;
  }

  void refreshBlock(int bx, int by) {
    const int tilesDown = (rows + tileSide - 1) / tileSide;
    const int tx1 = std::min(tilesAcross, (bx + 1) * blockTiles);
    const int ty1 = std::min(tilesDown, (by + 1) * blockTiles);
    float far = std::numeric_limits<float>::infinity();
    for (int ty = by * blockTiles; ty < ty1; ++ty) {
      for (int tx = bx * blockTiles; tx < tx1; ++tx) {
        far = std::min(far, farthest[size_t(ty) * size_t(tilesAcross) + size_t(tx)]);
      }
    }
    const size_t block = size_t(by) * size_t(blocksAcross) + size_t(bx);
    blockFarthest[block] = far;
    blockStale[block] = 0;
  }
};

namespace {

// Fills the triangle (a, b, c) at `scale` with `colour` where it is nearest, row by row.
void fillTriangle(Band& band, const Picture::Corner* const corner[3], double scale, QRgb colour,
                  uint32_t triangle) {
  double x[3], y[3], z[3];
  for (int i = 0; i < 3; ++i) {
    x[i] = corner[i]->x * scale;
    y[i] = corner[i]->y * scale - band.top;
    z[i] = corner[i]->depth;
  }
  const double area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
  if (area == 0 || !std::isfinite(area)) return;
  // The depth is a plane over the picture: z = zx * X + zy * Y + z0.
  const double zx = ((z[1] - z[0]) * (y[2] - y[0]) - (z[2] - z[0]) * (y[1] - y[0])) / area;
  const double zy = ((z[2] - z[0]) * (x[1] - x[0]) - (z[1] - z[0]) * (x[2] - x[0])) / area;
  const auto nearest = static_cast<float>(std::max({z[0], z[1], z[2]}));
  const int rowFirst = std::max(0, int(std::ceil(std::min({y[0], y[1], y[2]}) - 0.5)));
  const int rowLast = std::min(band.rows - 1, int(std::floor(std::max({y[0], y[1], y[2]}) - 0.5)));
  if (rowFirst > rowLast) return;
  const double leftmost = std::ceil(std::min({x[0], x[1], x[2]}) - 0.5);
  const double rightmost = std::floor(std::max({x[0], x[1], x[2]}) - 0.5);
  if (!(leftmost <= rightmost) || rightmost < 0 || leftmost >= band.width) return;
  if (band.hidesAll(int(std::max(0.0, leftmost)), int(std::min(double(band.width - 1), rightmost)),
                    rowFirst, rowLast, nearest)) {
    return;
  }
  // Strip by strip of tiles: each row's span, then each tile of the strip looked up once.
  std::vector<uint8_t>& hidden = band.hiddenTiles;
  for (int strip = rowFirst / tileSide; strip <= rowLast / tileSide; ++strip) {
    const int stripFirst = std::max(rowFirst, strip * tileSide);
    const int stripLast = std::min(rowLast, strip * tileSide + tileSide - 1);
    int spans[tileSide][2];
    int lowest = band.width, highest = -1;
    for (int row = stripFirst; row <= stripLast; ++row) {
      const double cy = row + 0.5;
      double left = INFINITY, right = -INFINITY;
      for (int e = 0; e < 3; ++e) {
        const int f = e == 2 ? 0 : e + 1;
        if ((y[e] <= cy && cy <= y[f]) || (y[f] <= cy && cy <= y[e])) {
          const double at =
              y[e] == y[f] ? x[e] : x[e] + (cy - y[e]) * (x[f] - x[e]) / (y[f] - y[e]);
          const double low = y[e] == y[f] ? std::min(x[e], x[f]) : at;
          const double high = y[e] == y[f] ? std::max(x[e], x[f]) : at;
          left = std::min(left, low);
          right = std::max(right, high);
        }
      }
      // Clamped as doubles: a row that meets no edge has no span, and no conversion of an
      // infinite bound to int.
      int* span = spans[row - stripFirst];
      const double from = std::ceil(left - 0.5), to = std::floor(right - 0.5);
      if (!(from <= to) || to < 0 || from >= band.width) {
        span[0] = 0;
        span[1] = -1;
        continue;
      }
      span[0] = int(std::max(0.0, from));
      span[1] = int(std::min(double(band.width - 1), to));
      lowest = std::min(lowest, span[0]);
      highest = std::max(highest, span[1]);
    }
    if (lowest > highest) continue;
    // The nearest the triangle's plane comes over a tile: at one of its corners.
    const double y0 = strip * tileSide;
    for (int tile = lowest / tileSide; tile <= highest / tileSide; ++tile) {
      const double x0 = tile * tileSide;
      const double planeNearest = z[0] + zx * (x0 - x[0]) + zy * (y0 - y[0]) +
                                  std::max(0.0, zx * tileSide) + std::max(0.0, zy * tileSide);
      hidden[size_t(tile)] = band.hides(tile * tileSide, stripFirst,
                                        std::min(nearest, static_cast<float>(planeNearest)));
    }
    for (int row = stripFirst; row <= stripLast; ++row) {
      const double cy = row + 0.5;
      const int last = spans[row - stripFirst][1];
      for (int column = spans[row - stripFirst][0]; column <= last;) {
        const int tileEnd = (column / tileSide + 1) * tileSide;
        if (hidden[size_t(column / tileSide)] != 0) {
          column = tileEnd;
          continue;
        }
        const int end = std::min(last + 1, tileEnd);
        double zc = z[0] + zx * (column + 0.5 - x[0]) + zy * (cy - y[0]);
        for (; column < end; ++column, zc += zx)
          band.put(column, row, static_cast<float>(zc), colour, triangle);
      }
    }
  }
}

// Draws the segment from a to b, about two pixels wide at the drawing scale, where nothing is
// nearer than its depth less `slack`.
void drawSegment(Band& band, const Picture::Corner& a, const Picture::Corner& b, double scale,
                 double slack, QRgb colour) {
  const double ax = a.x * scale, ay = a.y * scale - band.top;
  const double bx = b.x * scale, by = b.y * scale - band.top;
  const double steps = std::ceil(std::max(std::fabs(bx - ax), std::fabs(by - ay)));
  if (!std::isfinite(steps) || steps > 1e6) return;
  const bool steep = std::fabs(by - ay) > std::fabs(bx - ax);
  for (double k = 0; k <= steps; ++k) {
    const double t = steps > 0 ? k / steps : 0;
    const double px = ax + t * (bx - ax), py = ay + t * (by - ay);
    const double z = a.depth + t * (b.depth - a.depth) + slack;
    for (int w = 0; w < 2; ++w) {
      const int column = int(std::floor(px - (steep ? 0.5 - w : 0)));
      const int row = int(std::floor(py - (steep ? 0 : 0.5 - w)));
      if (column < 0 || row < 0 || column >= band.width || row >= band.rows) continue;
      const size_t at = size_t(row) * size_t(band.width) + size_t(column);
      if (!(z >= band.depth[at])) continue;
      band.pixels[at] = colour;
    }
  }
}

// Darkens the pixels where the face shown changes, on both sides of the change: the outlines
// of the faces that show, about a pixel wide once shrunk.
void outline(Band& band, const std::vector<Picture::Triangle>& triangles) {
  auto faceAt = [&](size_t at) {
    const uint32_t t = band.owner[at];
    return t == none ? none : triangles[t].face;
  };
  std::vector<uint8_t> edge(band.pixels.size(), 0);
  for (int y = 0; y < band.rows; ++y) {
    for (int x = 0; x < band.width; ++x) {
      const size_t at = size_t(y) * size_t(band.width) + size_t(x);
      const uint32_t face = faceAt(at);
      if (x + 1 < band.width && faceAt(at + 1) != face) edge[at] = edge[at + 1] = 1;
      if (y + 1 < band.rows && faceAt(at + size_t(band.width)) != face) {
        edge[at] = edge[at + size_t(band.width)] = 1;
      }
    }
  }
  for (size_t at = 0; at < edge.size(); ++at) {
    if (edge[at] != 0 && band.owner[at] != none) {
      band.pixels[at] = QColor(band.pixels[at]).darker(160).rgb();
    }
  }
}

// The band averaged down, `scale` x `scale` pixels to one, into the image.
void shrink(const Band& band, int scale, QImage& image) {
  const int n = scale * scale;
  for (int y = 0; y < image.height(); ++y) {
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      int r = 0, g = 0, b = 0;
      for (int j = 0; j < scale; ++j) {
        const QRgb* row = &band.pixels[size_t(y * scale + j) * size_t(band.width)];
        for (int i = 0; i < scale; ++i) {
          const QRgb p = row[x * scale + i];
          r += qRed(p);
          g += qGreen(p);
          b += qBlue(p);
        }
      }
      out[x] = qRgb((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n);
    }
  }
}

}  // namespace

void Picture::fill(Band& band, int scale) const {
  for (uint32_t t : frontToBack_) {
    const Triangle& triangle = triangles_[t];
    const Corner* corner[3] = {&corners_[triangle.corner[0]], &corners_[triangle.corner[1]],
                               &corners_[triangle.corner[2]]};
    fillTriangle(band, corner, scale, triangle.fill, t);
  }
}

std::vector<uint32_t> Picture::visibleTriangles() const {
  std::vector<uint32_t> order;
  if (triangles_.empty()) return order;
  Band band(size_.width(), size_.height(), 0, background.rgb());
  fill(band, 1);
  std::vector<uint8_t> shows(triangles_.size(), 0);
  for (uint32_t t : band.owner) {
    if (t != none) shows[t] = 1;
  }
  for (uint32_t t = 0; t < triangles_.size(); ++t) {
    if (shows[t] != 0) order.push_back(t);
  }
  auto depth = [this](uint32_t t) {
    const uint32_t* c = triangles_[t].corner;
    return corners_[c[0]].depth + corners_[c[1]].depth + corners_[c[2]].depth;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return depth(a) < depth(b); });
  return order;
}

void Picture::raster(QImage& image, int top) const {
  image.fill(background);
  if (triangles_.empty() && lines_.empty()) return;
  // Drawn at twice the size and each 2 x 2 pixels averaged, for smooth edges; large pictures
  // at their size.
  const int scale = size_t(size_.width()) * size_t(size_.height()) <= 4096u * 4096u ? 2 : 1;
  Band band(image.width() * scale, image.height() * scale, top * scale, background.rgb());
  fill(band, scale);
  outline(band, triangles_);
  // Faces drawn as lines show where nothing is nearer than they, less a hair.
  const double slack = depthRange_ * 2e-3;
  for (const Line& line : lines_) {
    for (uint32_t i = 0; i + (line.closed ? 0 : 1) < line.count; ++i) {
      const Corner& a = corners_[line.first + i];
      const Corner& b = corners_[line.first + (i + 1 == line.count ? 0 : i + 1)];
      drawSegment(band, a, b, scale, slack, line.colour);
    }
  }
  shrink(band, scale, image);
}
