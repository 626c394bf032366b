// clip --cap: clip, then every closed part that the plane cuts closed again by caps in the plane.

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "Cap.h"
#include "MeshFile.h"
#include "ModelText.h"
#include "Normals.h"
#include "OutputFile.h"
#include "Parallel.h"
#include "PolygonClip.h"
#include "Solid.h"
#include "Vandrel.h"

namespace {

// A cut edge of a part (Cap.h), where it came from, and that face's lead record.
struct PartEdge {
  uint32_t part;
  uint32_t face;
  uint32_t order;  // within the face
  float lead[3];
  CutEdge edge;
};

bool sameLead(const float* a, const float* b) { return std::memcmp(a, b, 3 * sizeof(float)) == 0; }

// The clip of every polygon, and the cut edges of those in closed parts: an edge that took the
// place of dropped vertices, turned round to run as the cap runs, and the edges of a face in the
// plane that faces the kept side (nothing lies behind it there; it is left out and its edges
// cancel the cap's). The ends are named by their welded vertices, a crossing point by its edge's.
class CapClip {
 public:
  CapClip(const Plane& plane, const Mesh& mesh, const std::vector<Position>& leads,
          const WeldedParts& welded)
      : normal_(plane.normal[0], plane.normal[1], plane.normal[2]),
        point_(plane.point[0], plane.point[1], plane.point[2]),
        mesh_(mesh),
        leads_(leads),
        welded_(welded) {}

  // The text of faces [first, last), appended to `text`; their cut edges kept for caps().
  void format(size_t first, size_t last, std::string* text) {
    ClippedPolygon clipped;
    std::vector<PartEdge> edges;
    std::vector<CutEdge> plain;             // a face's edges
    std::vector<std::vector<Vec3>> mended;  // and the polygons they make when it is mended
    for (size_t f = first; f < last; ++f) {
      const uint32_t* corners = mesh_.face(f);
      const uint32_t count = mesh_.faceSize(f);
      if (count == 0) continue;  // nothing is left of it, as of a face without area
      const float lead[3] = {leads_[f].x, leads_[f].y, leads_[f].z};
      const auto walk = [this, corners, count](const auto& visit) {
        for (uint32_t i = 0; i < count; ++i) {
          const Position& p = mesh_.positions[corners[i]];
          visit(p.x, p.y, p.z);
        }
      };
      clipVertices<true>(walk, normal_, point_, &clipped);
      const std::vector<Point>& kept = clipped.kept;
      const auto at = [&kept](size_t i) { return Vec3{kept[i].x, kept[i].y, kept[i].z}; };
      const Vec3 normal = polygonNormal(kept.size(), at);
      const auto face = static_cast<uint32_t>(f);
      const uint32_t part = welded_.parts.part[face];
      bool write = !normal.isZero();
      mended.clear();
      if (part != Parts::noPart && welded_.parts.parts[part].closed) {
        const bool reversed = welded_.parts.reversed[face];
        const size_t before = edges.size();
        if (clipped.onPlane) {
          const double facing = dot(normal, Vec3{normal_.x, normal_.y, normal_.z});
          if (write && (reversed ? facing < 0 : facing > 0)) {
            write = false;
            for (size_t i = 0; i < kept.size(); ++i) {
              edges.push_back(edgeOf(clipped, face, i, reversed));
            }
          }
        } else if (std::find(clipped.gapAfter.begin(), clipped.gapAfter.end(), 1) !=
                   clipped.gapAfter.end()) {
          plain.clear();
          for (size_t i = 0; i < kept.size(); ++i) {
            plain.push_back(edgeOf(clipped, face, i, false).edge);
            plain.back().cut = clipped.gapAfter[i] != 0;
            plain.back().along = !plain.back().cut && clipped.inPlane[i] &&
                                 clipped.inPlane[i + 1 == kept.size() ? 0 : i + 1];
          }
          const bool split = splitCutEdges(plain);
          // The cut edges, turned to run as the cap runs.
          uint32_t order = 0;
          for (const CutEdge& e : plain) {
            if (!e.cut) continue;
            PartEdge cut{};
            cut.face = face;
            cut.order = order++;
            cut.edge = reversed ? e : CutEdge{e.to, e.from, e.end, e.start, true};
            edges.push_back(cut);
          }
          if (mendedFace(plain, split, newellNormal(kept.size(), at), &mended)) write = false;
        }
        // A hollow's cut edges are holes in its shell's cap.
        for (size_t e = before; e < edges.size(); ++e) {
          edges[e].part = welded_.parts.solidOf(part);
          std::memcpy(edges[e].lead, lead, sizeof lead);
        }
      }
      for (const std::vector<Vec3>& polygon : mended) {
        *text += "newObject\n";
        appendRecord(*text, lead[0], lead[1], lead[2], 1);
        for (const Vec3& p : polygon) appendRecord(*text, p.x, p.y, p.z, 1);
      }
      if (!write) continue;
      *text += "newObject\n";
      appendRecord(*text, lead[0], lead[1], lead[2], 1);
      for (const Point& p : kept) appendRecord(*text, p.x, p.y, p.z, 1);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    edges_.insert(edges_.end(), edges.begin(), edges.end());
  }

  // The caps, part by part: "newObject", the lead record of the part's cut faces where they all
  // have the same one (else -1 -1 2), then the vertices. The parts are shared between the threads,
  // half the cut edges each.
  std::string caps() {
    std::sort(edges_.begin(), edges_.end(), [](const PartEdge& a, const PartEdge& b) {
      return a.part != b.part   ? a.part < b.part
             : a.face != b.face ? a.face < b.face
                                : a.order < b.order;
    });
    size_t half = edges_.size() / 2;
    while (half > 0 && half < edges_.size() && edges_[half].part == edges_[half - 1].part) ++half;
    std::string first, second;
    inParallel([&] { first = capsOf(0, half); }, [&] { second = capsOf(half, edges_.size()); });
    return first + second;
  }

 private:
  // The caps of the parts whose cut edges are edges_[from, to).
  std::string capsOf(size_t from, size_t to) const {
    std::string text;
    std::vector<CutEdge> edges;
    const Vec3 normal{normal_.x, normal_.y, normal_.z};
    for (size_t first = from; first < to;) {
      size_t last = first;
      bool shared = true;
      edges.clear();
      for (; last < to && edges_[last].part == edges_[first].part; ++last) {
        shared = shared && sameLead(edges_[last].lead, edges_[first].lead);
        edges.push_back(edges_[last].edge);
      }
      for (const std::vector<Vec3>& cap : capPolygons(edges, normal)) {
        text += "newObject\n";
        if (shared) {
          const float* lead = edges_[first].lead;
          appendRecord(text, lead[0], lead[1], lead[2], 1);
        } else {
          appendRecord(text, -1, -1, 2, 1);
        }
        for (const Vec3& p : cap) appendRecord(text, p.x, p.y, p.z, 1);
      }
      first = last;
    }
    return text;
  }

  uint64_t key(uint32_t face, ClippedPolygon::Source source) const {
    const uint32_t* corners = mesh_.face(face);
    const uint64_t a = welded_.vertex[corners[source.a]];
    const uint64_t b = welded_.vertex[corners[source.b]];
    return a < b ? a << 32 | b : b << 32 | a;
  }

  // The edge from kept point i to the next, or, `turned`, from the next to i.
  PartEdge edgeOf(const ClippedPolygon& clipped, uint32_t face, size_t i, bool turned) const {
    const size_t j = i + 1 == clipped.kept.size() ? 0 : i + 1;
    const size_t from = turned ? j : i, to = turned ? i : j;
    const Point& a = clipped.kept[from];
    const Point& b = clipped.kept[to];
    PartEdge e{};
    e.face = face;
    e.order = static_cast<uint32_t>(i);
    e.edge = {key(face, clipped.sources[from]), key(face, clipped.sources[to]), Vec3{a.x, a.y, a.z},
              Vec3{b.x, b.y, b.z}};
    return e;
  }

  Vector normal_;
  Point point_;
  const Mesh& mesh_;
  const std::vector<Position>& leads_;  // per face
  const WeldedParts& welded_;
  std::mutex mutex_;
  std::vector<PartEdge> edges_;
};

// Whether each face has vertices on both sides of the plane, or on it: the faces whose clip may
// leave cut edges, or lie in the plane.
std::vector<char> facesMet(const Mesh& mesh, const Plane& plane) {
  const Vector normal(plane.normal[0], plane.normal[1], plane.normal[2]);
  const Point point(plane.point[0], plane.point[1], plane.point[2]);
  std::vector<char> met(mesh.faceCount(), 0);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    bool below = false, above = false;
    const uint32_t* v = mesh.face(f);
    for (uint32_t i = 0; i < mesh.faceSize(f) && !(below && above); ++i) {
      const Position& p = mesh.positions[v[i]];
      const double side = sideOf(Point(p.x, p.y, p.z), normal, point);
      below = below || side <= 0;
      above = above || side >= 0;
    }
    met[f] = below && above;
  }
  return met;
}

}  // namespace

void Vandrel::clipAndCap(const ClipArguments& arguments) {
  std::vector<Position> leads;
  const Mesh mesh = readMesh(arguments.source + QStringLiteral(".poly"), &leads);
  const WeldedParts welded = weldedPartsNear(mesh, defaultWeld, facesMet(mesh, arguments.plane));
  CapClip clip(arguments.plane, mesh, leads, welded);
  OutputFile out(arguments.output + QStringLiteral(".poly"));
  writeFacesInParallel(
      out, mesh.faceCount(),
      [&clip](size_t first, size_t last, std::string* text) { clip.format(first, last, text); });
  out.write(clip.caps());
  out.commit();
}
