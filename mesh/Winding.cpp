#include "Winding.h"

#include <algorithm>
#include <cmath>

#include "Normals.h"

Winding::Winding(const Mesh& mesh, std::vector<uint32_t> faces, const std::vector<bool>& reversed,
                 const Bounds& box)
    : mesh_(mesh), reversed_(reversed), faces_(std::move(faces)), box_(box) {
  const size_t count = faces_.size();
  lowX_.assign(count, HUGE_VAL);
  lowY_.assign(count, HUGE_VAL);
  highX_.assign(count, -HUGE_VAL);
  highY_.assign(count, -HUGE_VAL);
  for (size_t k = 0; k < count; ++k) {
    const uint32_t* v = mesh.face(faces_[k]);
    for (uint32_t i = 0; i < mesh.faceSize(faces_[k]); ++i) {
      const Position& at = mesh.positions[v[i]];
      lowX_[k] = std::min(lowX_[k], double(at.x));
      highX_[k] = std::max(highX_[k], double(at.x));
      lowY_[k] = std::min(lowY_[k], double(at.y));
      highY_[k] = std::max(highY_[k], double(at.y));
    }
  }
  const auto forCells = [this](size_t k, auto visit) {
    const size_t low = cellOf(lowX_[k], lowY_[k]), high = cellOf(highX_[k], highY_[k]);
    for (size_t y = low / side_; y <= high / side_; ++y) {
      for (size_t x = low % side_; x <= high % side_; ++x) visit(y * side_ + x);
    }
  };
  // About a face to a cell; coarser where the faces are long enough to cross many cells each
  // (a fan of thin triangles), so that the grid holds at most 16 entries a face.
  for (side_ = std::clamp<size_t>(size_t(std::sqrt(double(count))), 1, 1024);; side_ /= 2) {
    cellX_ = (double(box.high.x) - box.low.x) / double(side_);
    cellY_ = (double(box.high.y) - box.low.y) / double(side_);
    size_t entries = 0;
    for (size_t k = 0; k < count && entries <= 16 * count; ++k) {
      const size_t low = cellOf(lowX_[k], lowY_[k]), high = cellOf(highX_[k], highY_[k]);
      entries += (high / side_ - low / side_ + 1) * (high % side_ - low % side_ + 1);
    }
    if (entries <= 16 * count || side_ == 1) break;
  }
  // Each face in every cell its box covers: counted, then laid out.
  start_.assign(side_ * side_ + 1, 0);
  for (size_t k = 0; k < count; ++k) forCells(k, [this](size_t c) { ++start_[c + 1]; });
  for (size_t c = 0; c + 1 < start_.size(); ++c) start_[c + 1] += start_[c];
  inCell_.resize(start_.back());
  std::vector<size_t> next(start_.begin(), start_.end() - 1);
  for (size_t k = 0; k < count; ++k) {
    forCells(k, [&](size_t c) { inCell_[next[c]++] = static_cast<uint32_t>(k); });
  }
}

size_t Winding::cellOf(double x, double y) const {
  const auto along = [this](double at, double low, double size) {
    if (!(size > 0)) return size_t{0};
    const double cell = std::floor((at - low) / size);
    if (!(cell > 0)) return size_t{0};  // NaN too, where the box's side overflows
    return cell >= double(side_ - 1) ? side_ - 1 : size_t(cell);
  };
  return along(y, box_.low.y, cellY_) * side_ + along(x, box_.low.x, cellX_);
}

std::optional<int> Winding::about(const Vec3& p) const {
  const size_t cell = cellOf(p.x, p.y);
  int winding = 0;
  for (size_t i = start_[cell]; i < start_[cell + 1]; ++i) {
    const uint32_t k = inCell_[i];
    if (p.x < lowX_[k] || p.x > highX_[k] || p.y < lowY_[k] || p.y > highY_[k]) continue;
    const std::optional<int> w = ofFace(faces_[k], p);
    if (!w) return std::nullopt;
    winding += *w;
  }
  return winding;
}

std::optional<int> Winding::ofFace(uint32_t face, const Vec3& p) const {
  const uint32_t* v = mesh_.face(face);
  const uint32_t n = mesh_.faceSize(face);
  int around = 0;  // of the outline seen from above, round p
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t a = v[i], b = v[i + 1 == n ? 0 : i + 1];
    const Position& pa = mesh_.positions[a];
    const Position& pb = mesh_.positions[b];
    const bool aBelow = pa.y <= p.y, bBelow = pb.y <= p.y;
    if (aBelow == bBelow) continue;  // the edge does not cross the line through p along x
    const Position& u = a < b ? pa : pb;
    const Position& w = a < b ? pb : pa;
    double side = (double(w.x) - u.x) * (p.y - u.y) - (double(w.y) - u.y) * (p.x - u.x);
    // On the edge seen from above: p is taken a little up, as the test across y takes it, and
    // less again to the right, so that it lies to one side.
    if (side == 0) side = w.x != u.x ? double(w.x) - u.x : double(u.y) - w.y;
    const bool left = a < b ? side > 0 : side < 0;  // p left of a to b
    if (aBelow && left) ++around;                   // an edge going up, p on its left
    if (bBelow && !left) --around;                  // going down, p on its right
  }
  if (around == 0) return 0;
  const Vec3 normal = newellNormal(mesh_.positions, v, n);
  if (normal.z == 0) return std::nullopt;
  const Vec3 corner = toVec3(mesh_.positions[v[0]]);
  const double z =
      corner.z - (normal.x * (p.x - corner.x) + normal.y * (p.y - corner.y)) / normal.z;
  if (!(std::fabs(z - p.z) > 1e-9 * (std::fabs(z) + std::fabs(p.z)))) return std::nullopt;
  if (z < p.z) return 0;
  return reversed_[face] ? -around : around;
}
