#include "Cap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <utility>

#include "Bridge.h"

namespace {

// Removes the edges with no length and every pair of edges that run between the same ends in
// opposite directions, one of them a cut edge: each edge, in their order, cancels the latest
// edge before it still there that runs the other way and may cancel it. Returns how many pairs
// went. The edges are grouped by their ends with a sort, a face's few as a cap's millions.
size_t cancel(std::vector<CutEdge>& edges) {
  std::vector<bool> gone(edges.size(), false);
  std::vector<uint32_t> order;  // the edges with length, by their ends, each pair's in order
  order.reserve(edges.size());
  for (size_t i = 0; i < edges.size(); ++i) {
    if (edges[i].from == edges[i].to) {
      gone[i] = true;
    } else {
      order.push_back(static_cast<uint32_t>(i));
    }
  }
  const auto ends = [&edges](uint32_t i) {
    const CutEdge& e = edges[i];
    return std::make_pair(std::min(e.from, e.to), std::max(e.from, e.to));
  };
  std::sort(order.begin(), order.end(), [&ends](uint32_t a, uint32_t b) {
    const auto ea = ends(a), eb = ends(b);
    return ea != eb ? ea < eb : a < b;
  });
  size_t pairs = 0;
  std::vector<uint32_t> open[2];  // of one pair of ends: the edges still there, each way
  for (size_t first = 0; first < order.size();) {
    size_t last = first;
    while (last < order.size() && ends(order[last]) == ends(order[first])) ++last;
    open[0].clear();
    open[1].clear();
    for (size_t k = first; k < last; ++k) {
      const uint32_t i = order[k];
      const int way = edges[i].from < edges[i].to ? 0 : 1;
      std::vector<uint32_t>& back = open[1 - way];
      auto match = std::find_if(back.rbegin(), back.rend(),
                                [&](uint32_t j) { return edges[i].cut || edges[j].cut; });
      if (match != back.rend()) {
        gone[*match] = true;
        back.erase(std::next(match).base());
        gone[i] = true;
        ++pairs;
        continue;
      }
      open[way].push_back(i);
    }
    first = last;
  }
  size_t kept = 0;
  for (size_t i = 0; i < edges.size(); ++i) {
    if (!gone[i]) edges[kept++] = edges[i];
  }
  edges.resize(kept);
  return pairs;
}

// The plane's coordinates of a point: the two axes other than the largest of `facing`, in the
// order that makes loops facing that way counter-clockwise.
class PlaneAxes {
 public:
  explicit PlaneAxes(const Vec3& n) {
    const double a[3] = {std::fabs(n.x), std::fabs(n.y), std::fabs(n.z)};
    const int k = a[0] >= a[1] && a[0] >= a[2] ? 0 : a[1] >= a[2] ? 1 : 2;
    const double along = k == 0 ? n.x : k == 1 ? n.y : n.z;
    first_ = (k + 1) % 3;
    second_ = (k + 2) % 3;
    if (along < 0) std::swap(first_, second_);
  }
  Vec2 operator()(const Vec3& p) const { return {coordinate(p, first_), coordinate(p, second_)}; }

 private:
  static double coordinate(const Vec3& p, int i) { return i == 0 ? p.x : i == 1 ? p.y : p.z; }
  int first_, second_;
};

// Compares an edge's start with a key, either way round, for equal_range.
struct Leaves {
  const std::vector<CutEdge>* edges;
  bool operator()(uint32_t i, uint64_t key) const { return (*edges)[i].from < key; }
  bool operator()(uint64_t key, uint32_t i) const { return key < (*edges)[i].from; }
};

// The edges joined end to end into loops, each as the positions of its edges' starts. Where
// several edges leave one end, the loop takes the one that turns most to the left, so that
// loops that touch at a point stay apart.
std::vector<std::vector<Vec3>> loopsOf(const std::vector<CutEdge>& edges, const PlaneAxes& axes) {
  // The edges by the end they leave, each end's in their order.
  std::vector<uint32_t> leaving(edges.size());
  std::iota(leaving.begin(), leaving.end(), 0u);
  std::sort(leaving.begin(), leaving.end(), [&edges](uint32_t a, uint32_t b) {
    return edges[a].from != edges[b].from ? edges[a].from < edges[b].from : a < b;
  });
  const auto leavingFrom = [&](uint64_t key) {
    return std::equal_range(leaving.begin(), leaving.end(), key, Leaves{&edges});
  };
  std::vector<bool> used(edges.size(), false);
  std::vector<std::vector<Vec3>> loops;
  std::vector<Vec3> loop;
  for (size_t first = 0; first < edges.size(); ++first) {
    if (used[first]) continue;
    loop.clear();
    size_t e = first;
    bool closed = false;
    while (true) {
      used[e] = true;
      loop.push_back(edges[e].start);
      if (edges[e].to == edges[first].from) {
        closed = true;
        break;
      }
      const Vec2 a = axes(edges[e].start), b = axes(edges[e].end);
      const Vec2 heading{b.u - a.u, b.v - a.v};
      size_t next = edges.size();
      double bestTurn = -10;
      const auto [begin, end] = leavingFrom(edges[e].to);
      for (auto at = begin; at != end; ++at) {
        const size_t candidate = *at;
        if (used[candidate]) continue;
        const Vec2 c = axes(edges[candidate].end);
        const Vec2 d{c.u - b.u, c.v - b.v};
        const double turn =
            std::atan2(heading.u * d.v - heading.v * d.u, heading.u * d.u + heading.v * d.v);
        if (turn > bestTurn) {
          bestTurn = turn;
          next = candidate;
        }
      }
      if (next == edges.size()) break;
      e = next;
    }
    if (closed && loop.size() >= 3) loops.push_back(loop);
  }
  return loops;
}

}  // namespace

std::vector<std::vector<Vec3>> loopPolygons(const std::vector<CutEdge>& edges, const Vec3& facing) {
  const PlaneAxes axes(facing);
  const std::vector<std::vector<Vec3>> loops = loopsOf(edges, axes);
  // All loops' points in the plane, one list; outer loops and holes by their turning.
  std::vector<Vec2> points;
  std::vector<Vec3> positions;
  std::vector<Loop> outers, holes;
  std::vector<double> outerArea;
  for (const std::vector<Vec3>& l : loops) {
    const Loop loop{static_cast<uint32_t>(points.size()), static_cast<uint32_t>(l.size())};
    for (const Vec3& p : l) points.push_back(axes(p));
    positions.insert(positions.end(), l.begin(), l.end());
    const double area = loopArea(points, loop);
    if (area > 0) {
      outers.push_back(loop);
      outerArea.push_back(area);
    } else if (area < 0) {
      holes.push_back(loop);
    }
  }
  // Each hole belongs to the smallest outer loop around it.
  std::vector<std::vector<Loop>> holesOf(outers.size());
  for (const Loop& hole : holes) {
    size_t best = outers.size();
    for (size_t o = 0; o < outers.size(); ++o) {
      if ((best == outers.size() || outerArea[o] < outerArea[best]) &&
          insideLoop(points, outers[o], points[hole.first])) {
        best = o;
      }
    }
    if (best != outers.size()) holesOf[best].push_back(hole);
  }
  std::vector<std::vector<Vec3>> polygons;
  for (size_t o = 0; o < outers.size(); ++o) {
    std::vector<Vec3> polygon;
    for (uint32_t i : bridgeHoles(points, outers[o], holesOf[o])) polygon.push_back(positions[i]);
    polygons.push_back(std::move(polygon));
  }
  return polygons;
}

// The ends are ordered along the first cut edge's direction; each edge looks only at those
// between its own.
bool splitCutEdges(std::vector<CutEdge>& edges) {
  struct End {
    double place;  // along the line
    uint64_t key;
    Vec3 at;
    bool operator<(const End& e) const { return place < e.place; }
  };
  std::vector<End> ends;
  Vec3 direction;
  for (const CutEdge& e : edges) {
    if (e.cut && direction.isZero()) direction = e.end - e.start;
  }
  if (direction.isZero()) return false;
  for (size_t i = 0; i < edges.size(); ++i) {
    if (!edges[i].cut && !edges[i].along) continue;
    ends.push_back({dot(edges[i].start, direction), edges[i].from, edges[i].start});
    ends.push_back({dot(edges[i].end, direction), edges[i].to, edges[i].end});
  }
  std::sort(ends.begin(), ends.end());
  std::vector<CutEdge> pieces;
  bool split = false;
  const size_t count = edges.size();
  for (size_t i = 0; i < count; ++i) {
    const CutEdge edge = edges[i];
    if (!edge.cut) continue;
    const Vec3 along = edge.end - edge.start;
    const double length2 = dot(along, along);
    double low = dot(edge.start, direction), high = dot(edge.end, direction);
    const bool forward = low <= high;
    if (!forward) std::swap(low, high);
    auto first = std::upper_bound(ends.begin(), ends.end(), End{low, 0, {}});
    auto last = std::lower_bound(ends.begin(), ends.end(), End{high, 0, {}});
    std::vector<std::pair<double, const End*>> inside;  // (t along the edge, the end)
    for (auto at = first; at < last; ++at) {
      if (at->key == edge.from || at->key == edge.to) continue;
      const Vec3 offset = at->at - edge.start;
      const double t = dot(offset, along) / length2;
      const Vec3 off = offset - t * along;
      // On the line, but for the rounding of crossing points (a single-precision fraction of
      // an edge) or a face that is not quite flat.
      if (t > 0 && t < 1 && dot(off, off) <= 1e-10 * length2) inside.emplace_back(t, &*at);
    }
    if (inside.empty()) continue;
    std::sort(inside.begin(), inside.end());
    split = true;
    CutEdge piece = edge;
    for (const auto& [t, end] : inside) {
      if (end->key == piece.from) continue;
      piece.to = end->key;
      piece.end = end->at;
      pieces.push_back(piece);
      piece.from = end->key;
      piece.start = end->at;
    }
    piece.to = edge.to;
    piece.end = edge.end;
    edges[i] = piece;
  }
  edges.insert(edges.end(), pieces.begin(), pieces.end());
  return split;
}

std::vector<std::vector<Vec3>> capPolygons(std::vector<CutEdge> edges, const Vec3& normal) {
  for (CutEdge& e : edges) e.cut = true;
  cancel(edges);
  return loopPolygons(edges, -normal);
}

bool mendedFace(std::vector<CutEdge> edges, bool split, const Vec3& facing,
                std::vector<std::vector<Vec3>>* polygons) {
  polygons->clear();
  if (cancel(edges) == 0 && !split) return false;
  *polygons = loopPolygons(edges, facing);
  return true;
}
