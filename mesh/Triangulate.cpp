#include "Triangulate.h"

#include <algorithm>
#include <cmath>

#include "Normals.h"

// A vertex of the polygon being clipped, in the ring of the polygon and, for large polygons,
// in the list of vertices sorted by z-order.
struct Triangulator::Node {
  uint32_t vertex;
  double x, y;
  Node* prev;
  Node* next;
  uint32_t z = 0;
  Node* prevZ = nullptr;
  Node* nextZ = nullptr;
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

// Whether p lies in the closed triangle (a, b, c), which turns counter-clockwise.
bool inTriangle(const Node* a, const Node* b, const Node* c, const Node* p) {
  return (b->x - a->x) * (p->y - a->y) - (b->y - a->y) * (p->x - a->x) >= 0 &&
         (c->x - b->x) * (p->y - b->y) - (c->y - b->y) * (p->x - b->x) >= 0 &&
         (a->x - c->x) * (p->y - c->y) - (a->y - c->y) * (p->x - c->x) >= 0;
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
  if (p->prevZ != nullptr) p->prevZ->nextZ = p->nextZ;
  if (p->nextZ != nullptr) p->nextZ->prevZ = p->prevZ;
}

}  // namespace

Node* Triangulator::make(uint32_t vertex, double x, double y, Node* last) {
  nodes_.push_back({vertex, x, y, nullptr, nullptr});
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
  out_->insert(out_->end(), {a->vertex, b->vertex, c->vertex});
}

// Removes vertices at the same place as the next one, and vertices where the boundary goes
// straight on or turns back on itself: neither changes what the polygon covers.
Node* Triangulator::filter(Node* start, Node* end) {
  if (end == nullptr) end = start;
  Node* p = start;
  bool again;
  do {
    again = false;
    if (equal(p, p->next) || turn(p->prev, p, p->next) == 0) {
      unlink(p);
      p = end = p->prev;
      if (p == p->next) break;
      again = true;
    } else {
      p = p->next;
    }
  } while (again || p != end);
  return end;
}

uint32_t Triangulator::zOrder(double x, double y) const {
  auto spread = [](uint32_t v) {
    v = (v | (v << 8)) & 0x00FF00FF;
    v = (v | (v << 4)) & 0x0F0F0F0F;
    v = (v | (v << 2)) & 0x33333333;
    return (v | (v << 1)) & 0x55555555;
  };
  const auto u = static_cast<uint32_t>((x - minX_) * scale_);
  const auto v = static_cast<uint32_t>((y - minY_) * scale_);
  return spread(u) | (spread(v) << 1);
}

// Sorts the ring's vertices by z-order into the prevZ/nextZ list (a merge sort of the list).
void Triangulator::indexCurve(Node* start) {
  Node* p = start;
  do {
    p->z = zOrder(p->x, p->y);
    p->prevZ = p->prev;
    p->nextZ = p->next;
    p = p->next;
  } while (p != start);
  p->prevZ->nextZ = nullptr;
  p->prevZ = nullptr;
  Node* list = p;
  for (size_t size = 1;; size *= 2) {
    Node* q = list;
    Node* tail = nullptr;
    list = nullptr;
    size_t merges = 0;
    while (q != nullptr) {
      ++merges;
      Node* r = q;
      size_t qSize = 0;
      for (; qSize < size && r != nullptr; ++qSize) r = r->nextZ;
      size_t rSize = size;
      while (qSize > 0 || (rSize > 0 && r != nullptr)) {
        Node* e;
        if (qSize != 0 && (rSize == 0 || r == nullptr || q->z <= r->z)) {
          e = q;
          q = q->nextZ;
          --qSize;
        } else {
          e = r;
          r = r->nextZ;
          --rSize;
        }
        if (tail != nullptr) {
          tail->nextZ = e;
        } else {
          list = e;
        }
        e->prevZ = tail;
        tail = e;
      }
      q = r;
    }
    tail->nextZ = nullptr;
    if (merges <= 1) break;
  }
}

bool Triangulator::isEar(Node* ear) const {
  const Node* a = ear->prev;
  const Node* c = ear->next;
  if (turn(a, ear, c) <= 0) return false;  // reflex or straight
  for (const Node* p = c->next; p != a; p = p->next) {
    if (blocks(a, ear, c, p)) return false;
  }
  return true;
}

bool Triangulator::isEarHashed(Node* ear) const {
  const Node* a = ear->prev;
  const Node* c = ear->next;
  if (turn(a, ear, c) <= 0) return false;
  const double x0 = std::min({a->x, ear->x, c->x}), x1 = std::max({a->x, ear->x, c->x});
  const double y0 = std::min({a->y, ear->y, c->y}), y1 = std::max({a->y, ear->y, c->y});
  const uint32_t minZ = zOrder(x0, y0), maxZ = zOrder(x1, y1);
  auto inBox = [&](const Node* p) { return p->x >= x0 && p->x <= x1 && p->y >= y0 && p->y <= y1; };
  for (const Node* p = ear->prevZ; p != nullptr && p->z >= minZ; p = p->prevZ) {
    if (inBox(p) && blocks(a, ear, c, p)) return false;
  }
  for (const Node* p = ear->nextZ; p != nullptr && p->z <= maxZ; p = p->nextZ) {
    if (inBox(p) && blocks(a, ear, c, p)) return false;
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
    if (hashed_ ? isEarHashed(ear) : isEar(ear)) {
      addTriangle(prev, ear, next);
      unlink(ear);
      ear = next->next;
      stop = next->next;
      continue;
    }
    ear = next;
    if (ear == stop) {
      if (pass == 0) {
        clip(filter(ear, nullptr), 1);
      } else if (pass == 1) {
        clip(cureLocalIntersections(filter(ear, nullptr)), 2);
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
      p = start = b;
    }
    p = p->next;
  } while (p != start);
  return filter(p, nullptr);
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
  return a->next != b && a->prev != b && !intersectsPolygon(a, b) && !equal(a, b) &&
         locallyInside(a, b) && locallyInside(b, a) && middleInside(a, b) &&
         (turn(a->prev, a, b->prev) != 0 || turn(a, b->prev, b) != 0);
}

// Links a to b by two new nodes, so that the ring becomes two: a..b and b'..a'. Returns b'.
Node* Triangulator::splitPolygon(Node* a, Node* b) {
  Node* a2 = &nodes_.emplace_back(Node{a->vertex, a->x, a->y, nullptr, nullptr});
  Node* b2 = &nodes_.emplace_back(Node{b->vertex, b->x, b->y, nullptr, nullptr});
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
        a = filter(a, a->next);
        c = filter(c, c->next);
        const bool hashed = hashed_;
        hashed_ = false;  // the new nodes are not in the z-order list
        clip(a, 0);
        clip(c, 0);
        hashed_ = hashed;
        return;
      }
    }
    a = a->next;
  } while (a != start);
}

void Triangulator::triangulate(const std::vector<Position>& positions, const uint32_t* vertices,
                               size_t count, std::vector<uint32_t>* out) {
  if (count < 3) return;
  const Normal n = newellNormal(positions, vertices, count);
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
  out_ = out;
  Node* last = nullptr;
  for (size_t i = 0; i < count; ++i) {
    const Position& p = positions[vertices[i]];
    const float xyz[3] = {p.x, p.y, p.z};
    last = make(vertices[i], xyz[u], xyz[v], last);
  }
  Node* start = filter(last->next, nullptr);
  if (start == nullptr || start->next == start->prev) return;
  hashed_ = count > 80;
  if (hashed_) {
    double maxX = start->x, maxY = start->y;
    minX_ = start->x;
    minY_ = start->y;
    for (const Node* p = start->next; p != start; p = p->next) {
      minX_ = std::min(minX_, p->x);
      minY_ = std::min(minY_, p->y);
      maxX = std::max(maxX, p->x);
      maxY = std::max(maxY, p->y);
    }
    const double size = std::max(maxX - minX_, maxY - minY_);
    scale_ = size != 0 ? 32767 / size : 0;
    indexCurve(start);
  }
  clip(start, 0);
}

Triangles triangulate(const Mesh& mesh, const std::vector<bool>* reversed) {
  Triangles triangles;
  Triangulator triangulator;
  std::vector<uint32_t> corners;
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    corners.clear();
    triangulator.triangulate(mesh.positions, mesh.face(f), mesh.faceSize(f), &corners);
    if (reversed != nullptr && (*reversed)[f]) {
      for (size_t i = 0; i < corners.size(); i += 3) std::swap(corners[i + 1], corners[i + 2]);
    }
    triangles.corners.insert(triangles.corners.end(), corners.begin(), corners.end());
    triangles.face.insert(triangles.face.end(), corners.size() / 3, static_cast<uint32_t>(f));
  }
  return triangles;
}
