// extrude: every polygon of a model becomes a closed prism along its normal.

#include <vector>

#include "Failure.h"
#include "ModelWalk.h"
#include "Numbers.h"
#include "OutputFile.h"
#include "Vandrel.h"

namespace {

struct Vertex {
  Point p;  // x, y, z widened to double
  float w;
};

// The Newell normal: the polygon's vector area, doubled. Zero when the polygon has no area.
Vector newellNormal(const std::vector<Vertex>& g) {
  Vector n;
  for (size_t i = 0; i < g.size(); ++i) {
    const Point& a = g[i].p;
    const Point& b = g[(i + 1) % g.size()].p;
    n += Vector((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y));
  }
  return n;
}

}  // namespace

void Vandrel::extrude(int, char** argv) {
  readArgument(argv[4]);
  loadFile(QString::fromLocal8Bit(argv[2]));
  doExtrude(QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[3]));
}

// Writes, for each object, its base face, its top face moved by the extrusion vector, one side
// face per edge and the closing side face, each as an object that repeats the lead record.
// The vector is the unit normal of the first corner, (g1 − g2) × (g2 − g3), times the depth;
// where that corner is degenerate, the Newell normal. A polygon without area is refused.
void Vandrel::doExtrude(QString depth, QString outName) {
  const double d = readNumber(depth).value_or(0.0f);
  OutputFile out(outName + QStringLiteral(".poly"));
  std::vector<Vertex> g;
  size_t objectIndex = 0;

  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    currentObject = &object;
    ++objectIndex;
    g.clear();
    if (object.hasCurent()) {
      leadPoint = std::make_unique<Point>(object.getX(), object.getY(), object.getZ());
    }
    walkVertices(object, [&](LinkNodeHolder& r) {
      g.push_back({Point(r.getX(), r.getY(), r.getZ()), r.getW()});
    });

    Vector n;
    if (g.size() >= 3) n = cross(g[0].p - g[1].p, g[1].p - g[2].p);
    if (n == VZero) n = newellNormal(g);
    if (g.size() < 3 || n == VZero) {
      throw RunError(QStringLiteral("%1: object %2 (line %3) has no area to extrude")
                         .arg(loadedPath)
                         .arg(objectIndex)
                         .arg(lineOfObject(objectIndex)));
    }
    n.normalize();
    const Vector shift = n * d;

    auto begin = [&]() {
      out.write("newObject\n");
      out.writeRecord(leadPoint->x, leadPoint->y, leadPoint->z, 1);
    };
    auto base = [&](const Vertex& v) { out.writeRecord(v.p.x, v.p.y, v.p.z, v.w); };
    auto top = [&](const Vertex& v) {
      const Point moved = v.p + shift;
      out.writeRecord(moved.x, moved.y, moved.z, v.w);
    };
    auto side = [&](const Vertex& a, const Vertex& b) {
      begin();
      base(a);
      top(a);
      top(b);
      base(b);
    };

    begin();
    for (const Vertex& v : g) base(v);
    begin();
    for (const Vertex& v : g) top(v);
    for (size_t k = 0; k + 1 < g.size(); ++k) side(g[k], g[k + 1]);
    side(g.back(), g.front());
  });
  out.commit();
}
