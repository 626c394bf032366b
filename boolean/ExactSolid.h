#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "Labels.h"
#include "Mesh.h"
#include "Vec3.h"

// A closed surface with exact coordinates, for the boolean operations: triangles, each labelled
// with the face of the model it came from. The operations split triangles where the surfaces
// cross (corefinement, with exact predicates and constructions) and keep the labels; a face whose
// triangles were split is marked in the Labels that every solid of one operation shares. The
// pieces of cut faces of one lead record that meet in one plane are then one face, triangulated
// anew from its outline (PlanarPatches.h).
class ExactSolid {
 public:
  ExactSolid();
  ~ExactSolid();
  ExactSolid(ExactSolid&&) noexcept;
  ExactSolid& operator=(ExactSolid&&) noexcept;

  // The triangles (three indices into `positions` each), outward, with their faces' labels.
  ExactSolid(const std::vector<Position>& positions, const std::vector<uint32_t>& corners,
             const std::vector<uint32_t>& labels);

  ExactSolid copy() const;
  bool empty() const;
  bool crossesItself() const;
  // Whether the surface, not crossing itself, bounds a volume: no part inside another.
  bool boundsVolume() const;
  // Whether the bounding boxes meet.
  bool mayMeet(const ExactSolid& other) const;
  // The bounding box: the least corner, then the greatest; empty for an empty solid.
  struct Box {
    Vec3 low, high;
  };
  std::optional<Box> box() const;
  // Adds another solid's triangles that lie apart from these.
  void add(ExactSolid&& other);
  // Turns round each connected surface that lies inside an odd number of the others, so that it
  // faces into the hollow it bounds. For a surface whose parts, each facing out, neither cross
  // nor meet: it then bounds the volume between them.
  void turnHollowsInward();

  // This solid becomes its union with, its difference from, or its intersection with `other`,
  // which is left corefined. False where the library cannot make the result a closed manifold
  // surface (solids that touch along an edge or at a point).
  // Throws Unhandled where one of the library's own checks fails on the way: the solids meet in
  // a way it does not handle, and both are left in no useful state.
  enum class Operation { unite, subtract, intersect };
  bool combine(ExactSolid& other, Operation operation, Labels* labels);
  struct Unhandled : std::runtime_error {
    using std::runtime_error::runtime_error;
  };

  // The triangles as they are now: positions, three vertex indices per triangle, and each
  // triangle's label.
  struct Triangles {
    std::vector<Vec3> positions;
    std::vector<uint32_t> corners;
    std::vector<uint32_t> labels;
  };
  Triangles triangles() const;
  // The label of each face.
  std::vector<uint32_t> faceLabels() const;
  // The solid of such triangles, each of their positions a vertex of its own; none where they do
  // not make a surface. The positions are doubles already: a solid made of the triangles of
  // another is that solid.
  static std::optional<ExactSolid> fromTriangles(const Triangles& triangles);

 private:
  struct Surface;
  std::unique_ptr<Surface> surface_;
};
