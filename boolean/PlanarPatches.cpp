#include "PlanarPatches.h"

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
struct Inside {
  int nesting = -1;  // constrained edges crossed from the unbounded face; odd: in the patch
};
using VertexBase = CGAL::Triangulation_vertex_base_with_info_2<uint32_t, Kernel>;
using FaceBase = CGAL::Constrained_triangulation_face_base_2<
    Kernel, CGAL::Triangulation_face_base_with_info_2<Inside, Kernel>>;
using Triangulation = CGAL::Constrained_Delaunay_triangulation_2<
    Kernel, CGAL::Triangulation_data_structure_2<VertexBase, FaceBase>,
    CGAL::No_constraint_intersection_requiring_constructions_tag>;

uint64_t edgeKey(uint32_t from, uint32_t to) { return uint64_t{from} << 32 | to; }

// Numbers every face by the constrained edges between it and the unbounded face.
void markNesting(Triangulation& cdt) {
  std::vector<Triangulation::Face_handle> pending{cdt.infinite_face()};
  cdt.infinite_face()->info().nesting = 0;
  std::vector<Triangulation::Face_handle> next;
  for (int nesting = 0; !pending.empty(); ++nesting) {
    while (!pending.empty()) {
      const Triangulation::Face_handle face = pending.back();
      pending.pop_back();
      for (int i = 0; i < 3; ++i) {
        const Triangulation::Face_handle other = face->neighbor(i);
        if (other->info().nesting != -1) continue;
        if (cdt.is_constrained({face, i})) {
          next.push_back(other);
        } else {
          other->info().nesting = nesting;
          pending.push_back(other);
        }
      }
    }
    for (const Triangulation::Face_handle& face : next) {
      if (face->info().nesting == -1) {
        face->info().nesting = nesting + 1;
        pending.push_back(face);
      }
    }
    next.clear();
  }
}

// Triangulates a patch anew from its outline, in the plane it lies in.
class Patch {
 public:
  Patch(const std::vector<Vec3>& positions, const std::vector<uint32_t>& corners)
      : positions_(positions), corners_(corners) {}

  // The new triangles of the patch made of `triangles`, whose edges without a partner in the
  // patch are `outline`; false where the patch is left as it is.
  bool retriangulate(const std::vector<uint32_t>& triangles,
                     const std::vector<std::pair<uint32_t, uint32_t>>& outline,
                     std::vector<uint32_t>* out) {
    if (!findPlane(triangles)) return false;
    Triangulation cdt;
    std::unordered_map<uint32_t, Triangulation::Vertex_handle> handle;
    try {
      for (const auto& [from, to] : outline) {
        const Triangulation::Vertex_handle a = vertex(cdt, handle, from);
        const Triangulation::Vertex_handle b = vertex(cdt, handle, to);
        if (a == nullptr || b == nullptr) return false;
        cdt.insert_constraint(a, b);
      }
    } catch (const Triangulation::Intersection_of_constraints_exception&) {
      return false;
    }
    if (cdt.number_of_vertices() != handle.size()) return false;
    markNesting(cdt);
    double area = 0;
    const size_t first = out->size();
    for (Triangulation::Face_handle face : cdt.finite_face_handles()) {
      if (face->info().nesting % 2 == 0) continue;
      uint32_t v[3] = {face->vertex(0)->info(), face->vertex(1)->info(), face->vertex(2)->info()};
      if (!counterClockwise_) std::swap(v[1], v[2]);
      out->insert(out->end(), v, v + 3);
      area += std::abs(area2(v[0], v[1], v[2]));
    }
    // The outline bounds the same region as before, or the patch stays as it was.
    double before = 0;
    for (uint32_t t : triangles) {
      before += std::abs(area2(corners_[3 * t], corners_[3 * t + 1], corners_[3 * t + 2]));
    }
    if (!(std::abs(area - before) <= 1e-9 * before)) {
      out->resize(first);
      return false;
    }
    return true;
  }

 private:
  Kernel::Point_2 projected(uint32_t v) const {
    const Vec3& p = positions_[v];
    switch (axis_) {
      case 0:
        return {p.y, p.z};
      case 1:
        return {p.z, p.x};
      default:
        return {p.x, p.y};
    }
  }
  Kernel::Point_3 point(uint32_t v) const {
    const Vec3& p = positions_[v];
    return {p.x, p.y, p.z};
  }
  double area2(uint32_t a, uint32_t b, uint32_t c) const {
    const Kernel::Point_2 p = projected(a), q = projected(b), r = projected(c);
    return (q.x() - p.x()) * (r.y() - p.y()) - (q.y() - p.y()) * (r.x() - p.x());
  }

  // The plane of the patch's largest triangle, if every vertex of the patch is exactly in it;
  // the axis to project along, and the patch's turn in that projection.
  bool findPlane(const std::vector<uint32_t>& triangles) {
    const uint32_t* largest = nullptr;
    double most = 0;
    Vec3 normal;
    for (uint32_t t : triangles) {
      const uint32_t* c = &corners_[3 * size_t{t}];
      const Vec3 n =
          cross(positions_[c[1]] - positions_[c[0]], positions_[c[2]] - positions_[c[0]]);
      const double size = dot(n, n);
      if (size > most) most = size, largest = c, normal = n;
    }
    if (largest == nullptr) return false;
    const Kernel::Point_3 p = point(largest[0]), q = point(largest[1]), r = point(largest[2]);
    if (CGAL::collinear(p, q, r)) return false;
    for (uint32_t t : triangles) {
      for (size_t k = 0; k < 3; ++k) {
        if (CGAL::orientation(p, q, r, point(corners_[3 * size_t{t} + k])) != CGAL::COPLANAR) {
          return false;
        }
      }
    }
    const double n[3] = {std::abs(normal.x), std::abs(normal.y), std::abs(normal.z)};
    axis_ = n[0] >= n[1] && n[0] >= n[2] ? 0 : n[1] >= n[2] ? 1 : 2;
    counterClockwise_ = area2(largest[0], largest[1], largest[2]) > 0;
    return true;
  }

  Triangulation::Vertex_handle vertex(
      Triangulation& cdt, std::unordered_map<uint32_t, Triangulation::Vertex_handle>& handle,
      uint32_t v) const {
    auto [at, added] = handle.try_emplace(v);
    if (added) {
      const size_t before = cdt.number_of_vertices();
      at->second = cdt.insert(projected(v));
      if (cdt.number_of_vertices() == before) return nullptr;  // two vertices at one point
      at->second->info() = v;
    }
    return at->second;
  }

  const std::vector<Vec3>& positions_;
  const std::vector<uint32_t>& corners_;
  int axis_ = 2;
  bool counterClockwise_ = true;
};

}  // namespace

void retriangulatePlanarPatches(const std::vector<Vec3>& positions, std::vector<uint32_t>* corners,
                                std::vector<uint32_t>* labels, const Labels& known) {
  const size_t count = labels->size();
  const std::vector<uint32_t>& c = *corners;
  auto cut = [&](uint32_t t) {
    const uint32_t label = (*labels)[t];
    return label < known.split.size() && known.split[label] != 0 && label < known.kin.size();
  };
  std::unordered_map<uint64_t, uint32_t> edgeTriangle;  // directed edge -> its triangle
  edgeTriangle.reserve(count * 3);
  for (uint32_t t = 0; t < count; ++t) {
    for (size_t k = 0; k < 3; ++k) edgeTriangle[edgeKey(c[3 * t + k], c[3 * t + (k + 1) % 3])] = t;
  }
  auto twin = [&](uint32_t t, size_t k) {
    const auto at = edgeTriangle.find(edgeKey(c[3 * t + (k + 1) % 3], c[3 * t + k]));
    return at == edgeTriangle.end() ? UINT32_MAX : at->second;
  };
  auto point = [&](uint32_t v) {
    const Vec3& p = positions[v];
    return Kernel::Point_3(p.x, p.y, p.z);
  };
  // Patches: cut triangles of one lead record joined across their edges where they lie in one
  // plane (the third corner of the one across in the plane of this one).
  std::vector<uint32_t> patchOf(count);
  for (uint32_t t = 0; t < count; ++t) patchOf[t] = t;
  auto find = [&patchOf](uint32_t t) {
    while (patchOf[t] != t) t = patchOf[t] = patchOf[patchOf[t]];
    return t;
  };
  for (uint32_t t = 0; t < count; ++t) {
    if (!cut(t)) continue;
    for (size_t k = 0; k < 3; ++k) {
      const uint32_t u = twin(t, k);
      if (u == UINT32_MAX || u < t || !cut(u)) continue;
      if (known.kin[(*labels)[u]] != known.kin[(*labels)[t]]) continue;
      const uint32_t* a = &c[3 * t];
      const uint32_t* b = &c[3 * u];
      const uint32_t far = b[0] != a[k] && b[0] != a[(k + 1) % 3]   ? b[0]
                           : b[1] != a[k] && b[1] != a[(k + 1) % 3] ? b[1]
                                                                    : b[2];
      if (CGAL::orientation(point(a[0]), point(a[1]), point(a[2]), point(far)) == CGAL::COPLANAR) {
        patchOf[find(u)] = find(t);
      }
    }
  }
  std::unordered_map<uint32_t, std::vector<uint32_t>> patches;  // by root: triangles, in order
  for (uint32_t t = 0; t < count; ++t) {
    if (cut(t)) patches[find(t)].push_back(t);
  }
  Patch patch(positions, *corners);
  std::unordered_map<uint32_t, std::vector<uint32_t>> remade;  // by root
  std::vector<std::pair<uint32_t, uint32_t>> outline;
  for (const auto& [root, triangles] : patches) {
    if (triangles.size() < 2) continue;
    outline.clear();
    for (uint32_t t : triangles) {
      for (size_t k = 0; k < 3; ++k) {
        const uint32_t u = twin(t, k);
        if (u == UINT32_MAX || find(u) != root)
          outline.emplace_back(c[3 * t + k], c[3 * t + (k + 1) % 3]);
      }
    }
    std::vector<uint32_t> made;
    if (patch.retriangulate(triangles, outline, &made) && !made.empty() &&
        made.size() < triangles.size() * 3) {
      remade.emplace(root, std::move(made));
    }
  }
  if (remade.empty()) return;
  // The new triangles of a patch take the place and the label of its first triangle.
  std::vector<uint32_t> newCorners, newLabels;
  newCorners.reserve(corners->size());
  newLabels.reserve(count);
  for (uint32_t t = 0; t < count; ++t) {
    const auto at = cut(t) ? remade.find(find(t)) : remade.end();
    if (at == remade.end()) {
      newCorners.insert(newCorners.end(), &c[3 * t], &c[3 * t] + 3);
      newLabels.push_back((*labels)[t]);
    } else if (!at->second.empty()) {
      newCorners.insert(newCorners.end(), at->second.begin(), at->second.end());
      newLabels.insert(newLabels.end(), at->second.size() / 3, (*labels)[t]);
      at->second.clear();
    }
  }
  corners->swap(newCorners);
  labels->swap(newLabels);
}
