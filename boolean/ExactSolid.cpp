#include "ExactSolid.h"

// clang-format off
// CGAL's checks on in every build, for this file's CGAL code. Where the corefinement meets a case
// it does not handle (found by fuzzing: faces that meet only along edges; coplanar faces whose
// edges it takes to cross where their lines do not meet), a failed check throws and the operation
// is refused; without them it ran on past the end of its own edge map, or took a point from an
// empty result. Preconditions and the expensive checks stay as the build has them.
#include <CGAL/assertions.h>
#undef CGAL_assertion
#define CGAL_assertion(EX) \
  (CGAL::possibly(EX) ? static_cast<void>(0) : ::CGAL::assertion_fail(#EX, __FILE__, __LINE__))
#undef CGAL_assertion_msg
#define CGAL_assertion_msg(EX, MSG)                                  \
  (CGAL::possibly(EX) ? static_cast<void>(0)                         \
                      : ::CGAL::assertion_fail(#EX, __FILE__, __LINE__, MSG))
#undef CGAL_assertion_code
#define CGAL_assertion_code(CODE) CODE
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Projection_traits_3.h>
#include <CGAL/Side_of_triangle_mesh.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/Polygon_mesh_processing/bbox.h>
#include <CGAL/Polygon_mesh_processing/connected_components.h>
#include <CGAL/Polygon_mesh_processing/corefinement.h>
#include <CGAL/Polygon_mesh_processing/intersection.h>
#include <CGAL/Polygon_mesh_processing/orientation.h>
#include <CGAL/Polygon_mesh_processing/self_intersections.h>
#include <CGAL/Polygon_mesh_processing/stitch_borders.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/box_intersection_d.h>
// clang-format on

#include <array>
#include <functional>
#include <unordered_map>

#include "PlanarPatches.h"

namespace {

// The surfaces hold doubles, as the model file does; every predicate on them is exact. The
// corefinement constructs the points where the surfaces cross exactly (as rationals, in the exact
// kernel it keeps beside the mesh for the whole operation), decides every predicate on them
// exactly, and rounds them to doubles only as it writes the result. So each operation starts from
// points of double precision: rationals that grew with every operation built on them made ten
// unions of overlapping prisms take seconds, fifty minutes.
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using SurfaceMesh = CGAL::Surface_mesh<Kernel::Point_3>;
using FaceIndex = SurfaceMesh::Face_index;
using VertexIndex = SurfaceMesh::Vertex_index;
using LabelMap = SurfaceMesh::Property_map<FaceIndex, uint32_t>;
namespace PMP = CGAL::Polygon_mesh_processing;

// While it is in place, a failed check of CGAL's says nothing of its own (where the compiler is not
// GCC, CGAL's handler prints several lines before it throws): the refusal is the caller's.
class QuietChecks {
 public:
  QuietChecks() : before_(CGAL::set_error_handler(&QuietChecks::ignore)) {}
  ~QuietChecks() { CGAL::set_error_handler(before_); }
  QuietChecks(const QuietChecks&) = delete;
  QuietChecks& operator=(const QuietChecks&) = delete;

 private:
  static void ignore(const char*, const char*, const char*, int, const char*) {}
  CGAL::Failure_function before_;
};

LabelMap labelsOf(SurfaceMesh& mesh) {
  return mesh.add_property_map<FaceIndex, uint32_t>("f:label", 0).first;
}

// Carries the labels to the triangles that corefinement makes and copies, and marks the faces
// whose triangles it splits.
class LabelVisitor : public PMP::Corefinement::Default_visitor<SurfaceMesh> {
 public:
  explicit LabelVisitor(std::vector<char>* split) : split_(split) {}

  void before_subface_creations(FaceIndex old, SurfaceMesh& mesh) {
    label_ = labelsOf(mesh)[old];
    if (label_ >= split_->size()) split_->resize(label_ + 1, 0);
    (*split_)[label_] = 1;
  }
  void after_subface_created(FaceIndex made, SurfaceMesh& mesh) { labelsOf(mesh)[made] = label_; }
  void after_face_copy(FaceIndex old, const SurfaceMesh& from, FaceIndex made, SurfaceMesh& to) {
    const auto source = from.property_map<FaceIndex, uint32_t>("f:label");
    labelsOf(to)[made] = source.second ? source.first[old] : 0;
  }

 private:
  std::vector<char>* split_;
  uint32_t label_ = 0;
};

ExactSolid::Triangles trianglesOf(const SurfaceMesh& mesh) {
  ExactSolid::Triangles out;
  const auto label = mesh.property_map<FaceIndex, uint32_t>("f:label");
  std::unordered_map<VertexIndex, uint32_t> number;
  for (VertexIndex v : mesh.vertices()) {
    number[v] = static_cast<uint32_t>(out.positions.size());
    const Kernel::Point_3& p = mesh.point(v);
    out.positions.push_back(Vec3{p.x(), p.y(), p.z()});
  }
  for (FaceIndex f : mesh.faces()) {
    for (VertexIndex v : CGAL::vertices_around_face(mesh.halfedge(f), mesh))
      out.corners.push_back(number[v]);
    out.labels.push_back(label.second ? label.first[f] : 0);
  }
  return out;
}

// The mesh of triangles, each of their positions a vertex of its own; none where they do not make
// a surface.
std::optional<SurfaceMesh> meshOf(const ExactSolid::Triangles& t) {
  if (t.corners.size() != 3 * t.labels.size()) return std::nullopt;
  for (uint32_t corner : t.corners) {
    if (corner >= t.positions.size()) return std::nullopt;
  }
  SurfaceMesh mesh;
  std::vector<VertexIndex> vertex(t.positions.size());
  for (size_t i = 0; i < t.positions.size(); ++i) {
    const Vec3& p = t.positions[i];
    vertex[i] = mesh.add_vertex(Kernel::Point_3(p.x, p.y, p.z));
  }
  LabelMap label = labelsOf(mesh);
  for (size_t i = 0; i < t.labels.size(); ++i) {
    const FaceIndex f = mesh.add_face(vertex[t.corners[3 * i]], vertex[t.corners[3 * i + 1]],
                                      vertex[t.corners[3 * i + 2]]);
    if (f == SurfaceMesh::null_face()) return std::nullopt;
    label[f] = t.labels[i];
  }
  for (VertexIndex v : mesh.vertices()) {
    if (mesh.is_isolated(v)) mesh.remove_vertex(v);
  }
  mesh.collect_garbage();
  return mesh;
}

// Takes the inner vertices that corefinement leaves out of the faces it cut (PlanarPatches.h).
// The points are doubles already.
void simplifyCutFaces(SurfaceMesh& mesh, const Labels& labels) {
  ExactSolid::Triangles t = trianglesOf(mesh);
  const size_t before = t.labels.size();
  retriangulatePlanarPatches(t.positions, &t.corners, &t.labels, labels);
  if (t.labels.size() == before) return;
  if (std::optional<SurfaceMesh> simpler = meshOf(t)) mesh = std::move(*simpler);
  // else not a surface: the triangles stay as they were
}

}  // namespace

struct ExactSolid::Surface {
  SurfaceMesh mesh;
};

ExactSolid::ExactSolid() : surface_(std::make_unique<Surface>()) {}
ExactSolid::~ExactSolid() = default;
ExactSolid::ExactSolid(ExactSolid&&) noexcept = default;
ExactSolid& ExactSolid::operator=(ExactSolid&&) noexcept = default;

ExactSolid::ExactSolid(const std::vector<Position>& positions, const std::vector<uint32_t>& corners,
                       const std::vector<uint32_t>& labels)
    : ExactSolid() {
  SurfaceMesh& mesh = surface_->mesh;
  std::unordered_map<uint32_t, VertexIndex> vertex;
  auto vertexOf = [&](uint32_t i) {
    auto [at, added] = vertex.try_emplace(i);
    if (added)
      at->second = mesh.add_vertex(Kernel::Point_3(positions[i].x, positions[i].y, positions[i].z));
    return at->second;
  };
  LabelMap label = labelsOf(mesh);
  for (size_t t = 0; t < labels.size(); ++t) {
    const FaceIndex f = mesh.add_face(vertexOf(corners[3 * t]), vertexOf(corners[3 * t + 1]),
                                      vertexOf(corners[3 * t + 2]));
    if (f != SurfaceMesh::null_face()) label[f] = labels[t];
  }
}

std::optional<ExactSolid> ExactSolid::fromTriangles(const Triangles& triangles) {
  std::optional<SurfaceMesh> mesh = meshOf(triangles);
  if (!mesh) return std::nullopt;
  ExactSolid solid;
  solid.surface_->mesh = std::move(*mesh);
  return solid;
}

ExactSolid ExactSolid::copy() const {
  ExactSolid solid;
  solid.surface_->mesh = surface_->mesh;
  return solid;
}

bool ExactSolid::empty() const { return surface_->mesh.number_of_faces() == 0; }

bool ExactSolid::crossesItself() const { return PMP::does_self_intersect(surface_->mesh); }

bool ExactSolid::boundsVolume() const { return PMP::does_bound_a_volume(surface_->mesh); }

void ExactSolid::turnHollowsInward() {
  SurfaceMesh& mesh = surface_->mesh;
  auto component = mesh.add_property_map<FaceIndex, std::size_t>("f:component", 0).first;
  auto volume = mesh.add_property_map<FaceIndex, std::size_t>("f:volume", 0).first;
  std::vector<std::size_t> nesting;
  PMP::volume_connected_components(
      mesh, volume,
      CGAL::parameters::face_connected_component_map(component).nesting_levels(std::ref(nesting)));
  std::vector<FaceIndex> hollow;
  for (FaceIndex f : mesh.faces()) {
    if (nesting[component[f]] % 2 == 1) hollow.push_back(f);
  }
  PMP::reverse_face_orientations(hollow, mesh);
  mesh.remove_property_map(component);
  mesh.remove_property_map(volume);
}

std::optional<ExactSolid::Box> ExactSolid::box() const {
  if (empty()) return std::nullopt;
  const CGAL::Bbox_3 b = PMP::bbox(surface_->mesh);
  return Box{Vec3{b.xmin(), b.ymin(), b.zmin()}, Vec3{b.xmax(), b.ymax(), b.zmax()}};
}

bool ExactSolid::mayMeet(const ExactSolid& other) const {
  if (empty() || other.empty()) return false;
  return CGAL::do_overlap(PMP::bbox(surface_->mesh), PMP::bbox(other.surface_->mesh));
}

void ExactSolid::add(ExactSolid&& other) {
  SurfaceMesh& mesh = surface_->mesh;
  SurfaceMesh& more = other.surface_->mesh;
  LabelMap label = labelsOf(mesh);
  const LabelMap from = labelsOf(more);
  std::unordered_map<VertexIndex, VertexIndex> vertex;
  for (VertexIndex v : more.vertices()) vertex[v] = mesh.add_vertex(more.point(v));
  for (FaceIndex f : more.faces()) {
    std::vector<VertexIndex> corners;
    for (VertexIndex v : CGAL::vertices_around_face(more.halfedge(f), more))
      corners.push_back(vertex[v]);
    const FaceIndex made = mesh.add_face(corners);
    if (made != SurfaceMesh::null_face()) label[made] = from[f];
  }
}

bool ExactSolid::combine(ExactSolid& other, Operation operation, Labels* labels) {
  // The corefinement takes the two meshes in the order of their addresses, and the order of what
  // it writes follows. Side by side in one array, this solid's first, they are taken in the same
  // order in every run, whatever else the heap holds (the name of the output, say).
  std::array<SurfaceMesh, 2> both{std::move(surface_->mesh), std::move(other.surface_->mesh)};
  SurfaceMesh& a = both[0];
  SurfaceMesh& b = both[1];
  const auto giveBack = [&]() {
    surface_->mesh = std::move(a);
    other.surface_->mesh = std::move(b);
  };
  labelsOf(a);
  labelsOf(b);
  const auto parameters = CGAL::parameters::visitor(LabelVisitor(&labels->split));
  bool made = false;
  try {
    const QuietChecks quiet;
    switch (operation) {
      case Operation::unite:
        made = PMP::corefine_and_compute_union(a, b, a, parameters,
                                               CGAL::parameters::default_values());
        break;
      case Operation::subtract:
        made = PMP::corefine_and_compute_difference(a, b, a, parameters,
                                                    CGAL::parameters::default_values());
        break;
      case Operation::intersect:
        made = PMP::corefine_and_compute_intersection(a, b, a, parameters,
                                                      CGAL::parameters::default_values());
        break;
    }
  } catch (const CGAL::Failure_exception& e) {
    giveBack();
    throw Unhandled(e.what());
  }
  giveBack();
  if (made) simplifyCutFaces(surface_->mesh, *labels);
  return made;
}

ExactSolid::Triangles ExactSolid::triangles() const { return trianglesOf(surface_->mesh); }

std::vector<uint32_t> ExactSolid::faceLabels() const {
  const SurfaceMesh& mesh = surface_->mesh;
  const auto label = mesh.property_map<FaceIndex, uint32_t>("f:label");
  std::vector<uint32_t> out;
  if (!label.second) return out;
  out.reserve(mesh.number_of_faces());
  for (FaceIndex f : mesh.faces()) out.push_back(label.first[f]);
  return out;
}
