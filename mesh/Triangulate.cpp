#include "Triangulate.h"

#include <algorithm>
#include <cmath>

#include "Normals.h"

// A vertex of the polygon being clipped, in the ring of the polygon and, for large polygons,
// in the list of vertices sorted by z-order.
struct Triangulator::Node {
  uint32_t vertex;
  uint32_t origin;  // its place in the polygon; the copies that splits make share it
  double x, y;
  Node* prev;
  Node* next;
  uint32_t slot = UINT32_MAX;  // the vertex's place in the tree, while it is reflex there
};

namespace {

using Node = Triangulator::Node;

// Twice the signed area of the triangle (a, b, c): positive when it turns counter-clockwise.
// With coordinates that are floats, the differences and products are exact in double for all
// but extreme spreads of magnitude, so the sign is too.
double turn(const Node* a, const Node* b, const Node* c) {
  return (b->x - a->x) * (c->y - b->y) - (b->y - a->y) * (c->x - b->x);
}

bool equal(const Node* a, const Node* b) { return a->x == b->x && a->y == b->y; }

// Whether p is on the inner side of the edge from a to b, or so close to its line that the
// rounding of a plane's coordinates to floats may have put it outside (about 1e-6 radians).
bool insideOf(const Node* a, const Node* b, const Node* p) {
  const double ux = b->x - a->x, uy = b->y - a->y, vx = p->x - a->x, vy = p->y - a->y;
  const double cross = ux * vy - uy * vx;
  if (cross >= 0) return true;
  return cross >= -1e-6 * (std::fabs(ux) + std::fabs(uy)) * (std::fabs(vx) + std::fabs(vy));
}

// Whether p lies in the closed triangle (a, b, c), which turns counter-clockwise, or next to it.
bool inTriangle(const Node* a, const Node* b, const Node* c, const Node* p) {
  return insideOf(a, b, p) && insideOf(b, c, p) && insideOf(c, a, p);
}

// Whether p stops (a, b, c) from being an ear: a reflex or straight vertex in the triangle that
// is not one of its corners, nor at the same place as one (where a polygon touches itself).
bool blocks(const Node* a, const Node* b, const Node* c, const Node* p) {
  return p != a && p != b && p != c && !equal(p, a) && !equal(p, b) && !equal(p, c) &&
         inTriangle(a, b, c, p) && turn(p->prev, p, p->next) <= 0;
}

int sign(double v) { return (v > 0) - (v < 0); }

bool onSegment(const Node* p, const Node* q, const Node* r) {
  return q->x <= std::max(p->x, r->x) && q->x >= std::min(p->x, r->x) &&
         q->y <= std::max(p->y, r->y) && q->y >= std::min(p->y, r->y);
}

bool intersects(const Node* p1, const Node* q1, const Node* p2, const Node* q2) {
  const int o1 = sign(turn(p1, q1, p2));
  const int o2 = sign(turn(p1, q1, q2));
  const int o3 = sign(turn(p2, q2, p1));
  const int o4 = sign(turn(p2, q2, q1));
  if (o1 != o2 && o3 != o4) return true;
  if (o1 == 0 && onSegment(p1, p2, q1)) return true;
  if (o2 == 0 && onSegment(p1, q2, q1)) return true;
  if (o3 == 0 && onSegment(p2, p1, q2)) return true;
  if (o4 == 0 && onSegment(p2, q1, q2)) return true;
  return false;
}

// Whether the diagonal from a to b starts into the polygon's inside at a.
bool locallyInside(const Node* a, const Node* b) {
  return turn(a->prev, a, a->next) > 0 ? turn(a, b, a->next) <= 0 && turn(a, a->prev, b) <= 0
                                       : turn(a, b, a->prev) > 0 || turn(a, a->next, b) > 0;
}

void unlink(Node* p) {
  p->next->prev = p->prev;
  p->prev->next = p->next;
}

}  // namespace

Triangulator::Triangulator() = default;
Triangulator::~Triangulator() = default;

Node* Triangulator::make(uint32_t vertex, double x, double y, Node* last) {
  nodes_.push_back({vertex, static_cast<uint32_t>(nodes_.size()), x, y, nullptr, nullptr});
  Node* p = &nodes_.back();
  if (last == nullptr) {
    p->prev = p->next = p;
  } else {
    p->next = last->next;
    p->prev = last;
    last->next->prev = p;
    last->next = p;
  }
  return p;
}

void Triangulator::addTriangle(const Node* a, const Node* b, const Node* c) {
  made_.insert(made_.end(), {a->origin, b->origin, c->origin});
}

// Removes vertices at the same place as the next one and vertices where the boundary turns back
// on itself, and, with `straight`, those where it goes straight on: none changes what the
// polygon covers. Straight vertices are kept at first, so that the triangles use them and meet
// the faces that end there edge to edge; they go only when the clipping gets stuck.
Node* Triangulator::filter(Node* start, Node* end, bool straight) {
  if (end == nullptr) end = start;
  Node* p = start;
  bool again;
  do {
    again = false;
    const bool turnsBack =
        (p->x - p->prev->x) * (p->next->x - p->x) + (p->y - p->prev->y) * (p->next->y - p->y) <= 0;
    if (equal(p, p->next) || (turn(p->prev, p, p->next) == 0 && (straight || turnsBack))) {
      unlink(p);
      leaveTree(p);
      p = end = p->prev;
      if (p == p->next) break;
      again = true;
    } else {
      p = p->next;
    }
  } while (again || p != end);
  return end;
}

bool Triangulator::isEar(Node* ear) const {
  const Node* a = ear->prev;
  const Node* c = ear->next;
  if (turn(a, ear, c) <= 0) return false;  // reflex or straight
  // The box around the triangle, with room for the slack of inTriangle.
  const double x0 = std::min({a->x, ear->x, c->x}), x1 = std::max({a->x, ear->x, c->x});
  const double y0 = std::min({a->y, ear->y, c->y}), y1 = std::max({a->y, ear->y, c->y});
  const double room = 1e-5 * (x1 - x0 + y1 - y0);
  for (const Node* p = c->next; p != a; p = p->next) {
    if (p->x >= x0 - room && p->x <= x1 + room && p->y >= y0 - room && p->y <= y1 + room &&
        blocks(a, ear, c, p)) {
      return false;
    }
  }
  return true;
}

// The reflex vertices of a large polygon in a k-d tree: node k covers the slots [lo, hi) and has
// a bounding box and a count of the vertices in it that are still reflex; its children are
// 2k + 1 and 2k + 2, splitting the range in the middle along the box's longer side. Only reflex
// vertices can keep an ear from being clipped, and clipping never makes a vertex reflex, so the
// tree is built once and vertices leave it as they are clipped or become convex.
void Triangulator::buildTree(Node* start) {
  tree_.clear();
  for (Node* p = start;; p = p->next) {
    if (turn(p->prev, p, p->next) <= 0) {
      tree_.push_back({static_cast<float>(p->x), static_cast<float>(p->y), p});
    }
    if (p->next == start) break;
  }
  size_t capacity = 1;
  while (capacity < 2 * tree_.size() / leafSize + 2) capacity *= 2;
  boxes_.assign(2 * capacity, Box{});
  leafOf_.assign(tree_.size(), 0);
  if (!tree_.empty()) buildNode(0, 0, tree_.size());
  for (size_t i = 0; i < tree_.size(); ++i) tree_[i].node->slot = static_cast<uint32_t>(i);
}

void Triangulator::buildNode(size_t k, size_t lo, size_t hi) {
  Box& box = boxes_[k];
  box = {tree_[lo].x, tree_[lo].y, tree_[lo].x, tree_[lo].y, static_cast<uint32_t>(hi - lo)};
  for (size_t i = lo + 1; i < hi; ++i) {
    box.x0 = std::min(box.x0, tree_[i].x);
    box.y0 = std::min(box.y0, tree_[i].y);
    box.x1 = std::max(box.x1, tree_[i].x);
    box.y1 = std::max(box.y1, tree_[i].y);
  }
  if (hi - lo <= leafSize) {
    for (size_t i = lo; i < hi; ++i) leafOf_[i] = static_cast<uint32_t>(k);
    return;
  }
  const size_t mid = (lo + hi) / 2;
  const bool alongX = box.x1 - box.x0 >= box.y1 - box.y0;
  std::nth_element(
      tree_.begin() + long(lo), tree_.begin() + long(mid), tree_.begin() + long(hi),
      [alongX](const Slot& a, const Slot& b) { return alongX ? a.x < b.x : a.y < b.y; });
  buildNode(2 * k + 1, lo, mid);
  buildNode(2 * k + 2, mid, hi);
}

// Takes p out of the tree: it was clipped, or it is no longer reflex.
void Triangulator::leaveTree(Node* p) {
  if (p->slot == UINT32_MAX) return;
  tree_[p->slot].node = nullptr;
  for (size_t k = leafOf_[p->slot];; k = (k - 1) / 2) {
    --boxes_[k].reflex;
    if (k == 0) break;
  }
  p->slot = UINT32_MAX;
}

bool Triangulator::isEarIndexed(Node* ear) const {
  const Node* a = ear->prev;
  const Node* c = ear->next;
  if (turn(a, ear, c) <= 0) return false;
  const double x0 = std::min({a->x, ear->x, c->x}), x1 = std::max({a->x, ear->x, c->x});
  const double y0 = std::min({a->y, ear->y, c->y}), y1 = std::max({a->y, ear->y, c->y});
  auto overlaps = [&](const Box& box) {
    return box.reflex != 0 && box.x0 <= x1 && box.x1 >= x0 && box.y0 <= y1 && box.y1 >= y0;
  };
  struct Range {
    uint32_t k, lo, hi;
  };
  Range stack[128];
  int top = 0;
  if (overlaps(boxes_[0])) stack[top++] = {0, 0, static_cast<uint32_t>(tree_.size())};
  while (top > 0) {
    const Range r = stack[--top];
    if (r.hi - r.lo <= leafSize) {
      for (uint32_t i = r.lo; i < r.hi; ++i) {
        const Slot& s = tree_[i];
        if (s.node != nullptr && s.x >= x0 && s.x <= x1 && s.y >= y0 && s.y <= y1 &&
            blocks(a, ear, c, s.node)) {
          return false;
        }
      }
      continue;
    }
    const uint32_t mid = (r.lo + r.hi) / 2;
    // The children are next to each other: one look at memory tests both.
    if (overlaps(boxes_[2 * r.k + 2])) stack[top++] = {2 * r.k + 2, mid, r.hi};
    if (overlaps(boxes_[2 * r.k + 1])) stack[top++] = {2 * r.k + 1, r.lo, mid};
  }
  return true;
}

// Clips ears until a triangle is left. When a whole round finds none: pass 0 filters the ring
// and tries again, pass 1 cures places where the ring crosses itself, pass 2 splits the ring
// along a diagonal into two rings.
void Triangulator::clip(Node* ear, int pass) {
  if (ear == nullptr) return;
  Node* stop = ear;
  while (ear->prev != ear->next) {
    Node* prev = ear->prev;
    Node* next = ear->next;
    if (indexed_ ? isEarIndexed(ear) : isEar(ear)) {
      addTriangle(prev, ear, next);
      unlink(ear);
      if (indexed_) {
        leaveTree(ear);
        if (turn(prev->prev, prev, prev->next) > 0) leaveTree(prev);
        if (turn(next->prev, next, next->next) > 0) leaveTree(next);
      }
      ear = next->next;
      stop = next->next;
      continue;
    }
    ear = next;
    if (ear == stop) {
      if (pass == 0) {
        clip(filter(ear, nullptr, true), 1);
      } else if (pass == 1) {
        clip(cureLocalIntersections(filter(ear, nullptr, true)), 2);
      } else {
        split(ear);
      }
      return;
    }
  }
}

Node* Triangulator::cureLocalIntersections(Node* start) {
  Node* p = start;
  do {
    Node* a = p->prev;
    Node* b = p->next->next;
    if (!equal(a, b) && intersects(a, p, p->next, b) && locallyInside(a, b) &&
        locallyInside(b, a)) {
      addTriangle(a, p, b);
      unlink(p);
      unlink(p->next);
      leaveTree(p);
      leaveTree(p->next);
      p = start = b;
    }
    p = p->next;
  } while (p != start);
  return filter(p, nullptr, true);
}

bool Triangulator::intersectsPolygon(const Node* a, const Node* b) const {
  const Node* p = a;
  do {
    if (p->vertex != a->vertex && p->next->vertex != a->vertex && p->vertex != b->vertex &&
        p->next->vertex != b->vertex && !equal(p, a) && !equal(p, b) && !equal(p->next, a) &&
        !equal(p->next, b) && intersects(p, p->next, a, b)) {
      return true;
    }
    p = p->next;
  } while (p != a);
  return false;
}

bool Triangulator::middleInside(const Node* a, const Node* b) const {
  const Node* p = a;
  bool inside = false;
  const double px = (a->x + b->x) / 2, py = (a->y + b->y) / 2;
  do {
    if (((p->y > py) != (p->next->y > py)) && p->next->y != p->y &&
        (px < (p->next->x - p->x) * (py - p->y) / (p->next->y - p->y) + p->x)) {
      inside = !inside;
    }
    p = p->next;
  } while (p != a);
  return inside;
}

bool Triangulator::isValidDiagonal(Node* a, Node* b) const {
  // The cheap local tests first: most candidates fail them.
  return a->next != b && a->prev != b && !equal(a, b) && locallyInside(a, b) &&
         locallyInside(b, a) && (turn(a->prev, a, b->prev) != 0 || turn(a, b->prev, b) != 0) &&
         !intersectsPolygon(a, b) && middleInside(a, b);
}

// Links a to b by two new nodes, so that the ring becomes two: a..b and b'..a'. Returns b'.
Node* Triangulator::splitPolygon(Node* a, Node* b) {
  Node* a2 = &nodes_.emplace_back(Node{a->vertex, a->origin, a->x, a->y, nullptr, nullptr});
  Node* b2 = &nodes_.emplace_back(Node{b->vertex, b->origin, b->x, b->y, nullptr, nullptr});
  Node* an = a->next;
  Node* bp = b->prev;
  a->next = b;
  b->prev = a;
  a2->next = an;
  an->prev = a2;
  b2->next = a2;
  a2->prev = b2;
  bp->next = b2;
  b2->prev = bp;
  return b2;
}

void Triangulator::split(Node* start) {
  Node* a = start;
  do {
    for (Node* b = a->next->next; b != a->prev; b = b->next) {
      if (a->vertex != b->vertex && isValidDiagonal(a, b)) {
        Node* c = splitPolygon(a, b);
        a = filter(a, a->next, true);
        c = filter(c, c->next, true);
        const bool indexed = indexed_;
        indexed_ = false;  // the new nodes are not in the tree
        clip(a, 0);
        clip(c, 0);
        indexed_ = indexed;
        return;
      }
    }
    a = a->next;
  } while (a != start);
}

void Triangulator::triangulate(const std::vector<Position>& positions, const uint32_t* vertices,
                               size_t count, std::vector<uint32_t>* out) {
  if (count < 3) return;
  const Vec3 n = newellNormal(positions, vertices, count);
  if (n.x == 0 && n.y == 0 && n.z == 0) return;
  // Drop the axis the normal is closest to; order the other two so that the polygon turns
  // counter-clockwise in the plane when it does so about its normal.
  const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  int u, v;
  if (az >= ax && az >= ay) {
    u = n.z > 0 ? 0 : 1;
    v = n.z > 0 ? 1 : 0;
  } else if (ax >= ay) {
    u = n.x > 0 ? 1 : 2;
    v = n.x > 0 ? 2 : 1;
  } else {
    u = n.y > 0 ? 2 : 0;
    v = n.y > 0 ? 0 : 2;
  }
  nodes_.clear();
  nodes_.reserve(count + 2 * count);  // splits add two nodes each; no reallocation
  made_.clear();
  Node* last = nullptr;
  for (size_t i = 0; i < count; ++i) {
    const Position& p = positions[vertices[i]];
    const float xyz[3] = {p.x, p.y, p.z};
    last = make(vertices[i], xyz[u], xyz[v], last);
  }
  Node* start = filter(last->next, nullptr, false);
  if (start == nullptr || start->next == start->prev) return;
  indexed_ = count > 64;
  if (indexed_) buildTree(start);
  clip(start, 0);
  if (made_.size() >= 6) {
    points_.resize(count);
    for (size_t i = 0; i < count; ++i) points_[i] = {nodes_[i].x, nodes_[i].y};
    const uint32_t sides = static_cast<uint32_t>(count);
    flips_.improve(points_, &made_, [sides](uint32_t a, uint32_t b) {
      return (a + 1) % sides == b || (b + 1) % sides == a;
    });
  }
  for (uint32_t origin : made_) out->push_back(nodes_[origin].vertex);
}

Triangles triangulate(const Mesh& mesh, size_t first, size_t last) {
  Triangles triangles;
  Triangulator triangulator;
  for (size_t f = first; f < last; ++f) {
    const size_t before = triangles.corners.size();
    triangulator.triangulate(mesh.positions, mesh.face(f), mesh.faceSize(f), &triangles.corners);
    triangles.face.insert(triangles.face.end(), (triangles.corners.size() - before) / 3,
                          static_cast<uint32_t>(f));
  }
  return triangles;
}

void reverse(Triangles& triangles, const std::vector<bool>& reversed) {
  for (size_t t = 0; t < triangles.count(); ++t) {
    if (reversed[triangles.face[t]])
      std::swap(triangles.corners[3 * t + 1], triangles.corners[3 * t + 2]);
  }
}
