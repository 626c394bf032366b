// The parts of a few faces of a large mesh, found on the surfaces near them only.
//
// Welding joins a position to the first kept one closer than the weld distance, and a position is
// kept where no kept one before it is that close; so a position's vertex depends only on the
// positions closer to it than the distance, and on theirs. A set of positions that holds every
// position that close to any of its own welds as it does in the whole mesh. Such a set is made of
// surfaces (faces joined by shared positions, bit for bit): those of the wanted faces, then every
// surface whose box comes within twice the distance of the box of one already taken. The parts of
// the faces on those surfaces are then those of the whole mesh: parts do not reach past a
// surface that shares no vertex with the others after the weld.

#include <algorithm>
#include <numeric>
#include <vector>

#include "Solid.h"
#include "Weld.h"

namespace {

// Positions joined into surfaces by the faces that use them.
class Surfaces {
 public:
  explicit Surfaces(const Mesh& mesh) : parent_(mesh.positions.size()) {
    std::iota(parent_.begin(), parent_.end(), 0u);
    for (size_t f = 0; f < mesh.faceCount(); ++f) {
      const uint32_t* v = mesh.face(f);
      for (uint32_t i = 1; i < mesh.faceSize(f); ++i) unite(v[0], v[i]);
    }
  }

  uint32_t find(uint32_t p) {
    while (parent_[p] != p) {
      parent_[p] = parent_[parent_[p]];
      p = parent_[p];
    }
    return p;
  }

 private:
  void unite(uint32_t a, uint32_t b) {
    a = find(a);
    b = find(b);
    if (a != b) parent_[std::max(a, b)] = std::min(a, b);
  }

  std::vector<uint32_t> parent_;
};

struct Box {
  double low[3], high[3];
};

bool near(const Box& a, const Box& b, double margin) {
  for (int i = 0; i < 3; ++i) {
    if (a.low[i] > b.high[i] + margin || b.low[i] > a.high[i] + margin) return false;
  }
  return true;
}

// Which surfaces to weld: those of the wanted faces, and every surface whose box comes within
// `margin` of one taken. Empty where that would be more than half of them, or the search would
// take longer than welding them all.
std::vector<char> surfacesToWeld(const std::vector<Box>& boxes, std::vector<uint32_t> taken,
                                 double margin) {
  std::vector<char> take(boxes.size(), 0);
  for (uint32_t s : taken) take[s] = 1;
  // The surfaces in order of their least x; a box that begins more than the widest box's width
  // before another ends before it begins.
  std::vector<uint32_t> order(boxes.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(),
            [&](uint32_t a, uint32_t b) { return boxes[a].low[0] < boxes[b].low[0]; });
  double widest = 0;
  for (const Box& b : boxes) widest = std::max(widest, b.high[0] - b.low[0]);
  size_t budget = 8 * boxes.size() + 100000;
  size_t count = taken.size();
  while (!taken.empty()) {
    const Box box = boxes[taken.back()];
    taken.pop_back();
    const double from = box.low[0] - margin - widest;
    auto at = std::lower_bound(order.begin(), order.end(), from,
                               [&](uint32_t s, double x) { return boxes[s].low[0] < x; });
    for (; at != order.end() && boxes[*at].low[0] <= box.high[0] + margin; ++at) {
      if (budget-- == 0) return {};
      if (take[*at] || !near(box, boxes[*at], margin)) continue;
      take[*at] = 1;
      taken.push_back(*at);
      if (2 * ++count > boxes.size()) return {};
    }
  }
  return take;
}

}  // namespace

WeldedParts weldedPartsNear(const Mesh& mesh, double weldDistance,
                            const std::vector<char>& wanted) {
  const Bounds bounds = boundsOf(mesh);
  const double distance = weldDistance < 0 ? defaultWeldDistance(mesh) : weldDistance;
  Surfaces surfaces(mesh);
  // Each position's surface, numbered from 0, and the surfaces' boxes.
  std::vector<uint32_t> surface(mesh.positions.size());
  std::vector<Box> boxes;
  for (size_t p = 0; p < mesh.positions.size(); ++p) {
    const uint32_t root = surfaces.find(static_cast<uint32_t>(p));
    const Position& at = mesh.positions[p];
    const double c[3] = {at.x, at.y, at.z};
    if (root == p) {
      surface[p] = static_cast<uint32_t>(boxes.size());
      boxes.push_back(Box{{c[0], c[1], c[2]}, {c[0], c[1], c[2]}});
    } else {
      surface[p] = surface[root];  // the root, the least of its surface, came first
      Box& box = boxes[surface[p]];
      for (int i = 0; i < 3; ++i) {
        box.low[i] = std::min(box.low[i], c[i]);
        box.high[i] = std::max(box.high[i], c[i]);
      }
    }
  }
  std::vector<uint32_t> taken;
  std::vector<char> seen(boxes.size(), 0);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    if (!wanted[f] || mesh.faceSize(f) == 0) continue;
    const uint32_t s = surface[mesh.face(f)[0]];
    if (!seen[s]) taken.push_back(s);
    seen[s] = 1;
  }
  const std::vector<char> take =
      distance > 0 ? surfacesToWeld(boxes, std::move(taken), 2 * distance) : seen;
  if (take.empty()) return weldedParts(mesh, distance, bounds);

  // The mesh of the surfaces taken, positions and faces in their order.
  Mesh near;
  std::vector<uint32_t> number(mesh.positions.size(), noVertex);
  for (size_t p = 0; p < mesh.positions.size(); ++p) {
    if (!take[surface[p]]) continue;
    number[p] = static_cast<uint32_t>(near.positions.size());
    near.positions.push_back(mesh.positions[p]);
  }
  std::vector<uint32_t> faces;  // of the mesh, by their number in `near`
  std::vector<uint32_t> corners;
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const uint32_t* v = mesh.face(f);
    const uint32_t n = mesh.faceSize(f);
    if (n == 0 || !take[surface[v[0]]]) continue;
    corners.clear();
    for (uint32_t i = 0; i < n; ++i) corners.push_back(number[v[i]]);
    near.addFace(corners.data(), n, mesh.faceColour[f]);
    faces.push_back(static_cast<uint32_t>(f));
  }
  near.colours = mesh.colours;
  WeldedParts found = weldedParts(near, distance, bounds);

  WeldedParts welded;
  welded.mesh = std::move(found.mesh);
  welded.vertex.assign(mesh.positions.size(), noVertex);
  for (size_t p = 0; p < mesh.positions.size(); ++p) {
    if (number[p] != noVertex) welded.vertex[p] = found.vertex[number[p]];
  }
  Parts& parts = welded.parts;
  parts = std::move(found.parts);
  std::vector<uint32_t> part(mesh.faceCount(), Parts::noPart);
  std::vector<bool> reversed(mesh.faceCount(), false);
  for (size_t i = 0; i < faces.size(); ++i) {
    part[faces[i]] = parts.part[i];
    reversed[faces[i]] = parts.reversed[i];
  }
  parts.part = std::move(part);
  parts.reversed = std::move(reversed);
  return welded;
}
