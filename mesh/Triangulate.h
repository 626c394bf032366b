#pragma once

#include <cstdint>
#include <vector>

#include "Mesh.h"

// Triangulates polygons by ear clipping in the plane of their Newell normal, with the vertices
// of large polygons kept in z-order so that an ear is checked against its neighbourhood only.
// For convex, concave and weakly simple polygons (those that touch themselves, such as the
// zero-width bridges between the pieces of a clipped polygon), the triangles cover the polygon
// exactly, each with the polygon's orientation. A polygon without area gives none. A polygon
// that crosses itself gets triangles, but which is not defined.
class Triangulator {
 public:
  struct Node;  // a vertex of the ring being clipped

  // Appends the triangles of the polygon `vertices` (indices into `positions`) to `out`, three
  // indices each.
  void triangulate(const std::vector<Position>& positions, const uint32_t* vertices, size_t count,
                   std::vector<uint32_t>* out);

 private:
  Node* make(uint32_t vertex, double x, double y, Node* last);
  Node* filter(Node* start, Node* end);
  void clip(Node* ear, int pass);
  bool isEar(Node* ear) const;
  bool isEarHashed(Node* ear) const;
  Node* cureLocalIntersections(Node* start);
  void split(Node* start);
  bool isValidDiagonal(Node* a, Node* b) const;
  bool intersectsPolygon(const Node* a, const Node* b) const;
  bool middleInside(const Node* a, const Node* b) const;
  Node* splitPolygon(Node* a, Node* b);
  void indexCurve(Node* start);
  uint32_t zOrder(double x, double y) const;
  void addTriangle(const Node* a, const Node* b, const Node* c);

  std::vector<Node> nodes_;
  std::vector<uint32_t>* out_ = nullptr;
  bool hashed_ = false;
  double minX_ = 0, minY_ = 0, scale_ = 0;
};

// Every face of a mesh triangulated; `reversed[f]`, where given, turns face f's triangles round.
Triangles triangulate(const Mesh& mesh, const std::vector<bool>* reversed = nullptr);
