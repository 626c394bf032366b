// extrude: every polygon of a model becomes a closed prism along its normal.

#include <cmath>
#include <vector>

#include "Area.h"
#include "Failure.h"
#include "ModelWalk.h"
#include "OutputFile.h"
#include "Quote.h"
#include "Vandrel.h"

void Vandrel::extrude(const ExtrudeArguments& arguments) {
  loadFile(arguments.source);
  doExtrude(arguments.depth, arguments.output);
}

// Writes, for each object, its base face, its top face moved by the extrusion vector, one side
// face per edge and the closing side face, each as an object that repeats the lead record.
// The vector is the polygon's unit normal (Area.h) times the depth. A polygon without area is
// refused.
void Vandrel::doExtrude(float depth, const QString& outName) {
  const double d = depth;
  OutputFile out(outName + QStringLiteral(".poly"));
  std::vector<Point> g;
  std::vector<float> w;
  std::vector<Point> moved;
  size_t objectIndex = 0;

  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    currentObject = &object;
    ++objectIndex;
    g.clear();
    w.clear();
    if (object.hasCurent()) {
      leadPoint = std::make_unique<Point>(object.getX(), object.getY(), object.getZ());
    }
    walkVertices(object, [&](LinkNodeHolder& r) {
      g.emplace_back(r.getX(), r.getY(), r.getZ());
      w.push_back(r.getW());
    });

    Vector n = polygonNormal(g);
    if (n == VZero) {
      throw RunError(quotedIfNeeded(loadedPath) +
                     QStringLiteral(": object %1 (line %2) has no area to extrude")
                         .arg(objectIndex)
                         .arg(objectLines[objectIndex - 1]));
    }
    n.normalize();
    const Vector shift = n * d;
    moved.clear();
    for (const Point& p : g) {
      moved.push_back(p + shift);
      const Point& m = moved.back();
      if (!std::isfinite(static_cast<float>(m.x)) || !std::isfinite(static_cast<float>(m.y)) ||
          !std::isfinite(static_cast<float>(m.z))) {
        outOfRange(objectIndex);
      }
    }

    auto begin = [&]() {
      out.write("newObject\n");
      out.writeRecord(leadPoint->x, leadPoint->y, leadPoint->z, 1);
    };
    auto base = [&](size_t i) { out.writeRecord(g[i].x, g[i].y, g[i].z, w[i]); };
    auto top = [&](size_t i) { out.writeRecord(moved[i].x, moved[i].y, moved[i].z, w[i]); };
    auto side = [&](size_t a, size_t b) {
      begin();
      base(a);
      top(a);
      top(b);
      base(b);
    };

    begin();
    for (size_t i = 0; i < g.size(); ++i) base(i);
    begin();
    for (size_t i = 0; i < g.size(); ++i) top(i);
    for (size_t k = 0; k + 1 < g.size(); ++k) side(k, k + 1);
    side(g.size() - 1, 0);
  });
  out.commit();
}
