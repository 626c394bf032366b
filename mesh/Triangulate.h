#pragma once

#include <cstdint>
#include <vector>

#include "DelaunayFlips.h"
#include "Mesh.h"

// Triangulates polygons by ear clipping in the plane of their Newell normal, with the reflex
// vertices of large polygons in a k-d tree so that an ear is checked against its neighbourhood
// only; then the diagonals are flipped until the triangulation is Delaunay within the polygon
// (DelaunayFlips.h), so that no triangle is a sliver where the polygon has room for better ones.
// For convex, concave and weakly simple polygons (those that touch themselves, such as the
// zero-width bridges between the pieces of a clipped polygon), the triangles cover the polygon
// exactly, each with the polygon's orientation. A polygon without area gives none. A polygon
// that crosses itself gets triangles, but which is not defined.
class Triangulator {
 public:
  struct Node;  // a vertex of the ring being clipped

  Triangulator();
  ~Triangulator();
  Triangulator(const Triangulator&) = delete;
  Triangulator& operator=(const Triangulator&) = delete;

  // Appends the triangles of the polygon `vertices` (indices into `positions`) to `out`, three
  // indices each.
  void triangulate(const std::vector<Position>& positions, const uint32_t* vertices, size_t count,
                   std::vector<uint32_t>* out);

 private:
  Node* make(uint32_t vertex, double x, double y, Node* last);
  Node* filter(Node* start, Node* end, bool straight);
  void clip(Node* ear, int pass);
  bool isEar(Node* ear) const;
  bool isEarIndexed(Node* ear) const;
  void buildTree(Node* start);
  void buildNode(size_t k, size_t lo, size_t hi);
  void leaveTree(Node* p);

  Node* cureLocalIntersections(Node* start);
  void split(Node* start);
  bool isValidDiagonal(Node* a, Node* b) const;
  bool intersectsPolygon(const Node* a, const Node* b) const;
  bool middleInside(const Node* a, const Node* b) const;
  Node* splitPolygon(Node* a, Node* b);
  void addTriangle(const Node* a, const Node* b, const Node* c);

  std::vector<Node> nodes_;
  std::vector<uint32_t> made_;  // the triangles, three nodes' origins each
  std::vector<DelaunayFlips::Point> points_;
  DelaunayFlips flips_;
  bool indexed_ = false;
  struct Box {  // the plane's coordinates are floats, so floats hold them exactly
    float x0, y0, x1, y1;
    uint32_t reflex;  // vertices in it still in the tree
  };
  struct Slot {
    float x, y;
    Node* node;  // null once the vertex has left the tree
  };
  static constexpr size_t leafSize = 16;
  std::vector<Slot> tree_;
  std::vector<Box> boxes_;
  std::vector<uint32_t> leafOf_;  // per slot
};

// The faces first to last - 1 of a mesh triangulated.
Triangles triangulate(const Mesh& mesh, size_t first, size_t last);
// Turns round the triangles of the faces that `reversed` marks.
void reverse(Triangles& triangles, const std::vector<bool>& reversed);
