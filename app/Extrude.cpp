// extrude: every polygon of a model becomes a closed prism along its normal.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "Failure.h"
#include "ModelFile.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "Normals.h"
#include "OutputFile.h"
#include "Quote.h"
#include "Vandrel.h"

namespace {

// The text of one object's records, each formatted once: the lead record with its "newObject"
// line, the base vertices and the moved ones. The prism's faces are pieced together from it.
class PrismText {
 public:
  void make(const Point& lead, const std::vector<Point>& base, const std::vector<Point>& top,
            const std::vector<float>& w) {
    text_.clear();
    ends_.clear();
    text_ += "newObject\n";
    appendRecord(text_, lead.x, lead.y, lead.z, 1);
    ends_.push_back(text_.size());
    for (size_t i = 0; i < base.size(); ++i) {
      appendRecord(text_, base[i].x, base[i].y, base[i].z, w[i]);
      ends_.push_back(text_.size());
    }
    for (size_t i = 0; i < top.size(); ++i) {
      appendRecord(text_, top[i].x, top[i].y, top[i].z, w[i]);
      ends_.push_back(text_.size());
    }
  }

  // Appends the base face, the top face, then the side faces but those of the edges that
  // `bridge` marks.
  void appendFaces(size_t n, const std::vector<bool>& bridge, std::string* out) const {
    const size_t lead = ends_[0];
    const size_t bases = ends_[n] - lead;
    const size_t tops = ends_[2 * n] - ends_[n];
    size_t sides = 0;
    for (size_t a = 0; a < n; ++a) {
      if (bridge[a]) continue;
      const size_t b = a + 1 < n ? a + 1 : 0;
      sides += lead + length(1 + a) + length(1 + n + a) + length(1 + n + b) + length(1 + b);
    }
    size_t at = out->size();
    out->resize(at + 2 * lead + bases + tops + sides);
    char* p = out->data() + at;
    auto put = [&p, this](size_t first, size_t size) {
      std::memcpy(p, text_.data() + first, size);
      p += size;
    };
    auto record = [&](size_t i) { put(ends_[i - 1], length(i)); };
    put(0, lead);
    put(lead, bases);
    put(0, lead);
    put(ends_[n], tops);
    for (size_t a = 0; a < n; ++a) {
      if (bridge[a]) continue;
      const size_t b = a + 1 < n ? a + 1 : 0;
      put(0, lead);
      record(1 + a);
      record(1 + n + a);
      record(1 + n + b);
      record(1 + b);
    }
  }

 private:
  size_t length(size_t i) const { return ends_[i] - ends_[i - 1]; }

  std::string text_;
  std::vector<size_t> ends_;  // where the text of the lead record and of each vertex ends
};

// Marks the edges g[i] -> g[i + 1] that the polygon also runs the other way, g[i + 1] -> g[i]:
// the bridges of a keyhole polygon to its holes, which get no side face, so that a polygon with
// holes extrudes into a closed solid with holes.
void markBridges(const std::vector<Point>& g, std::vector<bool>* bridge) {
  const size_t n = g.size();
  bridge->assign(n, false);
  struct Edge {
    double ax, ay, az, bx, by, bz;
    size_t index;
    bool operator<(const Edge& o) const {
      return std::tie(ax, ay, az, bx, by, bz) < std::tie(o.ax, o.ay, o.az, o.bx, o.by, o.bz);
    }
  };
  std::vector<Edge> edges(n);
  for (size_t i = 0; i < n; ++i) {
    const Point& a = g[i];
    const Point& b = g[i + 1 < n ? i + 1 : 0];
    edges[i] = {a.x, a.y, a.z, b.x, b.y, b.z, i};
  }
  std::sort(edges.begin(), edges.end());
  for (const Edge& e : edges) {
    const Edge back{e.bx, e.by, e.bz, e.ax, e.ay, e.az, 0};
    const auto found = std::lower_bound(edges.begin(), edges.end(), back);
    if (found != edges.end() && !(back < *found)) (*bridge)[e.index] = true;
  }
}

// Writes, for each object, its base face, its top face moved by the extrusion vector, one side
// face per edge and the closing side face, each as an object that repeats the lead record.
// The vector is the polygon's unit normal (Area.h) times the depth. A polygon without area is
// refused; `path` is the source's, for messages.
ObjectFormat prismFormat(const QString& path, float depth) {
  const double d = depth;
  return [path, d](const LoadedObject* first, const LoadedObject* last, std::string* text) {
    std::vector<Point> g;
    std::vector<float> w;
    std::vector<Point> moved;
    std::vector<bool> bridge;
    PrismText prism;
    for (; first != last; ++first) {
      LinkNodeHolder& object = *first->object;
      g.clear();
      w.clear();
      Point lead;
      if (object.hasCurent()) lead = Point(object.getX(), object.getY(), object.getZ());
      walkVertices(object, [&](LinkNodeHolder& r) {
        g.emplace_back(r.getX(), r.getY(), r.getZ());
        w.push_back(r.getW());
      });
      const Vec3 normal = polygonNormal(g.size(), [&g](size_t i) {
        return Vec3{g[i].x, g[i].y, g[i].z};
      });
      Vector n(normal.x, normal.y, normal.z);
      if (n == VZero) {
        throw RunError(quotedIfNeeded(path) +
                       QStringLiteral(": object %1 (line %2) has no area to extrude")
                           .arg(first->index)
                           .arg(first->line));
      }
      n.normalize();
      const Vector shift = n * d;
      moved.clear();
      for (const Point& p : g) {
        moved.push_back(p + shift);
        const Point& m = moved.back();
        if (!std::isfinite(static_cast<float>(m.x)) || !std::isfinite(static_cast<float>(m.y)) ||
            !std::isfinite(static_cast<float>(m.z))) {
          throw resultOutOfRange(path, first->index);
        }
      }
      prism.make(lead, g, moved, w);
      markBridges(g, &bridge);
      prism.appendFaces(g.size(), bridge, text);
    }
  };
}

}  // namespace

void Vandrel::extrude(const ExtrudeArguments& arguments) {
  const QString source = arguments.source + QStringLiteral(".poly");
  streamFile(source, arguments.output + QStringLiteral(".poly"),
             prismFormat(source, arguments.depth), FirstFault::output);
}

void Vandrel::doExtrude(float depth, const QString& outName) {
  OutputFile out(outName + QStringLiteral(".poly"));
  writeObjects(*model, out, prismFormat(loadedPath, depth));
  out.commit();
}
