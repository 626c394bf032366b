#include "Hollows.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <optional>

#include "Bounds.h"
#include "Triangulate.h"
#include "Vec3.h"
#include "Winding.h"

namespace {

bool strictlyInside(const Bounds& inner, const Bounds& outer) {
  return outer.low.x < inner.low.x && outer.low.y < inner.low.y && outer.low.z < inner.low.z &&
         inner.high.x < outer.high.x && inner.high.y < outer.high.y && inner.high.z < outer.high.z;
}

// The faces of each part, part after part.
struct PartFaces {
  std::vector<uint32_t> faces;
  std::vector<size_t> start;  // part p: faces[start[p]] to faces[start[p + 1] - 1]

  explicit PartFaces(const Parts& parts) : start(parts.parts.size() + 1, 0) {
    for (uint32_t p : parts.part) {
      if (p != Parts::noPart) ++start[p + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    faces.resize(start.back());
    std::vector<size_t> next(start.begin(), start.end() - 1);
    for (size_t f = 0; f < parts.part.size(); ++f) {
      if (parts.part[f] != Parts::noPart) faces[next[parts.part[f]]++] = static_cast<uint32_t>(f);
    }
  }
  const uint32_t* begin(uint32_t p) const { return faces.data() + start[p]; }
  const uint32_t* end(uint32_t p) const { return faces.data() + start[p + 1]; }
};

class Nesting {
 public:
  Nesting(const Mesh& mesh, const Parts& parts)
      : mesh_(mesh), parts_(parts), faces_(parts), winding_(parts.parts.size()) {}

  Bounds boxOf(uint32_t part) const {
    Bounds box;
    for (const uint32_t* f = faces_.begin(part); f != faces_.end(part); ++f) {
      const uint32_t* v = mesh_.face(*f);
      for (uint32_t i = 0; i < mesh_.faceSize(*f); ++i) box.include(mesh_.positions[v[i]]);
    }
    return box;
  }

  // Whether `inner` lies in `outer`, their boxes already known to: each of its vertices, the
  // middle of each of its edges and a point within each of its faces (so that a part that reaches
  // across a gap of the other, or over a hole through it, is not in it), of at most 4096 faces
  // spread over the part.
  bool liesIn(uint32_t inner, uint32_t outer, const std::vector<Bounds>& box) {
    if (!winding_[outer]) {
      winding_[outer] = std::make_unique<Winding>(
          mesh_, std::vector<uint32_t>(faces_.begin(outer), faces_.end(outer)), parts_.reversed,
          box[outer]);
    }
    const Winding& winding = *winding_[outer];
    const auto in = [&winding](const Vec3& p) { return winding.about(p) == std::optional<int>(1); };
    points_.clear();
    const size_t faces = size_t(faces_.end(inner) - faces_.begin(inner));
    for (size_t k = 0; k < faces; k += (faces + 4095) / 4096) {
      const uint32_t f = faces_.begin(inner)[k];
      const uint32_t* v = mesh_.face(f);
      const uint32_t n = mesh_.faceSize(f);
      for (uint32_t i = 0; i < n; ++i) {
        const Vec3 a = toVec3(mesh_.positions[v[i]]);
        if (!in(0.5 * (a + toVec3(mesh_.positions[v[i + 1 == n ? 0 : i + 1]])))) return false;
        points_.push_back(v[i]);
      }
      if (const std::optional<Vec3> middle = middleOf(f); middle && !in(*middle)) return false;
    }
    std::sort(points_.begin(), points_.end());
    points_.erase(std::unique(points_.begin(), points_.end()), points_.end());
    for (size_t i = 0; i < points_.size(); i += (points_.size() + 4095) / 4096) {
      if (!in(toVec3(mesh_.positions[points_[i]]))) return false;
    }
    return true;
  }

 private:
  // A point within face f: the middle of its largest triangle. The mean of a concave face's
  // vertices may lie off it, in a gap of the other part. None for a face without area.
  std::optional<Vec3> middleOf(uint32_t f) {
    triangles_.clear();
    triangulator_.triangulate(mesh_.positions, mesh_.face(f), mesh_.faceSize(f), &triangles_);
    std::optional<Vec3> middle;
    double largest = 0;
    for (size_t t = 0; t + 2 < triangles_.size(); t += 3) {
      const Vec3 a = toVec3(mesh_.positions[triangles_[t]]);
      const Vec3 b = toVec3(mesh_.positions[triangles_[t + 1]]);
      const Vec3 c = toVec3(mesh_.positions[triangles_[t + 2]]);
      const double area = length(cross(b - a, c - a));
      if (area > largest) {
        largest = area;
        middle = (1.0 / 3) * (a + b + c);
      }
    }
    return middle;
  }

  const Mesh& mesh_;
  const Parts& parts_;
  PartFaces faces_;
  std::vector<std::unique_ptr<Winding>> winding_;  // per part, once it may hold another
  std::vector<uint32_t> points_;
  Triangulator triangulator_;
  std::vector<uint32_t> triangles_;
};

}  // namespace

std::vector<uint32_t> hollowsOf(const Mesh& mesh, const Parts& parts,
                                const std::vector<bool>& solid) {
  const size_t count = parts.parts.size();
  std::vector<uint32_t> shell(count, Parts::noPart);
  std::vector<uint32_t> solids;
  for (uint32_t p = 0; p < count; ++p) {
    if (solid[p]) solids.push_back(p);
  }
  if (solids.size() < 2) return shell;
  Nesting nesting(mesh, parts);
  std::vector<Bounds> box(count);
  for (uint32_t p : solids) box[p] = nesting.boxOf(p);
  std::sort(solids.begin(), solids.end(), [&box](uint32_t a, uint32_t b) {
    return box[a].low.x != box[b].low.x ? box[a].low.x < box[b].low.x : a < b;
  });
  // Swept along x: the parts begun before this one and not yet ended are those whose boxes may
  // hold it. Surfaces that do not cross are nested: the parts that hold one are the one of least
  // volume among them and the parts that hold that one. So the parts whose boxes may hold it are
  // tried from the least volume up, and the first that holds it is its innermost, one deeper
  // than that one (a look at each part of a chain of thousands nested in one another, rather
  // than at each part outside it).
  std::vector<uint32_t> open, depth(count, 0), innermost(count, Parts::noPart), around;
  for (uint32_t p : solids) {
    open.erase(std::remove_if(open.begin(), open.end(),
                              [&](uint32_t q) { return box[q].high.x <= box[p].low.x; }),
               open.end());
    around.clear();
    for (uint32_t q : open) {
      if (strictlyInside(box[p], box[q])) around.push_back(q);
    }
    std::sort(around.begin(), around.end(), [&parts](uint32_t a, uint32_t b) {
      const double va = parts.parts[a].volume, vb = parts.parts[b].volume;
      return va != vb ? va < vb : a < b;
    });
    for (uint32_t q : around) {
      if (!nesting.liesIn(p, q, box)) continue;
      innermost[p] = q;
      depth[p] = depth[q] + 1;
      break;
    }
    open.push_back(p);
  }
  for (uint32_t p = 0; p < count; ++p) {
    if (depth[p] % 2 == 1) shell[p] = innermost[p];
  }
  return shell;
}
