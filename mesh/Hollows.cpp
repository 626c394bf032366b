#include "Hollows.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "Bounds.h"
#include "Vec3.h"

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

// How many times the faces of a part, as they face, wind round p: the sum of the solid angles of
// their fans (Van Oosterom and Strackee), over 4 pi.
double windingAbout(const Mesh& mesh, const PartFaces& of, uint32_t part,
                    const std::vector<bool>& reversed, const Vec3& p) {
  double sum = 0;
  for (const uint32_t* f = of.begin(part); f != of.end(part); ++f) {
    const uint32_t* v = mesh.face(*f);
    const Vec3 a = toVec3(mesh.positions[v[0]]) - p;
    const double la = length(a);
    double face = 0;
    for (uint32_t i = 1; i + 1 < mesh.faceSize(*f); ++i) {
      const Vec3 b = toVec3(mesh.positions[v[i]]) - p;
      const Vec3 c = toVec3(mesh.positions[v[i + 1]]) - p;
      const double lb = length(b), lc = length(c);
      const double below = la * lb * lc + dot(a, b) * lc + dot(a, c) * lb + dot(b, c) * la;
      face += 2 * std::atan2(dot(a, cross(b, c)), below);
    }
    sum += reversed[*f] ? -face : face;
  }
  return sum / (4 * M_PI);
}

class Nesting {
 public:
  Nesting(const Mesh& mesh, const Parts& parts) : mesh_(mesh), parts_(parts), faces_(parts) {}

  Bounds boxOf(uint32_t part) const {
    Bounds box;
    for (const uint32_t* f = faces_.begin(part); f != faces_.end(part); ++f) {
      const uint32_t* v = mesh_.face(*f);
      for (uint32_t i = 0; i < mesh_.faceSize(*f); ++i) box.include(mesh_.positions[v[i]]);
    }
    return box;
  }

  // Whether `inner` lies in `outer`, their boxes already known to.
  bool liesIn(uint32_t inner, uint32_t outer) {
    vertices_.clear();
    size_t corners = 0;
    for (const uint32_t* f = faces_.begin(inner); f != faces_.end(inner); ++f) {
      vertices_.insert(vertices_.end(), mesh_.face(*f), mesh_.face(*f) + mesh_.faceSize(*f));
    }
    std::sort(vertices_.begin(), vertices_.end());
    vertices_.erase(std::unique(vertices_.begin(), vertices_.end()), vertices_.end());
    for (const uint32_t* f = faces_.begin(outer); f != faces_.end(outer); ++f) {
      corners += mesh_.faceSize(*f);
    }
    // At most 64 vertices, spread over the part, and 2^26 corners visited for one pair.
    constexpr double budget = 1 << 26;
    const double work = double(vertices_.size()) * double(corners);
    const size_t step = std::max({size_t{1}, (vertices_.size() + 63) / 64,
                                  work > budget ? size_t(std::ceil(work / budget)) : 1});
    for (size_t i = 0; i < vertices_.size(); i += step) {
      const Vec3 p = toVec3(mesh_.positions[vertices_[i]]);
      if (std::fabs(windingAbout(mesh_, faces_, outer, parts_.reversed, p) - 1) > 0.25) {
        return false;
      }
    }
    return true;
  }

 private:
  const Mesh& mesh_;
  const Parts& parts_;
  PartFaces faces_;
  std::vector<uint32_t> vertices_;
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
  // hold it.
  std::vector<uint32_t> open, depth(count, 0), innermost(count, Parts::noPart);
  for (uint32_t p : solids) {
    open.erase(std::remove_if(open.begin(), open.end(),
                              [&](uint32_t q) { return box[q].high.x <= box[p].low.x; }),
               open.end());
    for (uint32_t q : open) {
      if (!strictlyInside(box[p], box[q]) || !nesting.liesIn(p, q)) continue;
      ++depth[p];
      const uint32_t in = innermost[p];
      if (in == Parts::noPart || parts.parts[q].volume < parts.parts[in].volume) innermost[p] = q;
    }
    open.push_back(p);
  }
  for (uint32_t p = 0; p < count; ++p) {
    if (depth[p] % 2 == 1) shell[p] = innermost[p];
  }
  return shell;
}
