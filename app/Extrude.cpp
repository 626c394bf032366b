// extrude: every polygon of a model becomes a closed prism along its normal.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Failure.h"
#include "ModelFile.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "Normals.h"
#include "OutputFile.h"
#include "Prism.h"
#include "Quote.h"
#include "Vandrel.h"

namespace {

// The prism of an object: its base, its top moved by the extrusion vector, which is the
// polygon's unit normal (Area.h) times the depth, and its bridges. A polygon without area is
// refused; `path` is the source's, for messages. Reads the object without moving its cursor.
void makePrism(const LoadedObject& loaded, const QString& path, double depth, Prism* prism) {
  const LinkNodeHolder& object = *loaded.object;
  std::vector<Position>& g = prism->base;
  g.clear();
  prism->w.clear();
  prism->lead = "newObject\n";
  if (object.hasCurent()) {
    appendRecord(prism->lead, object.getX(), object.getY(), object.getZ(), 1);
  } else {
    appendRecord(prism->lead, 0, 0, 0, 1);
  }
  readVertices(object, [&](const LinkNode& r) {
    g.push_back({r.x, r.y, r.z});
    prism->w.push_back(r.w);
  });
  const Vec3 normal = polygonNormal(g.size(), [&g](size_t i) {
    return Vec3{g[i].x, g[i].y, g[i].z};
  });
  Vector n(normal.x, normal.y, normal.z);
  if (n == VZero) {
    throw RunError(quotedIfNeeded(path) +
                   QStringLiteral(": object %1 (line %2) has no area to extrude")
                       .arg(loaded.index)
                       .arg(loaded.line));
  }
  n.normalize();
  prism->shift = n * depth;
  for (size_t i = 0; i < g.size(); ++i) {
    const Point m = prism->topPoint(i);
    if (!std::isfinite(static_cast<float>(m.x)) || !std::isfinite(static_cast<float>(m.y)) ||
        !std::isfinite(static_cast<float>(m.z))) {
      throw resultOutOfRange(path, loaded.index);
    }
  }
  markBridges(g, &prism->bridge);
}

// Writes, for each object, its base face, its top face, one side face per edge and the closing
// side face, each as an object that repeats the lead record. An object in slices makes the units
// of its slice (Prism.h), from the prism that its slices share.
ObjectFormat prismFormat(const QString& path, float depth) {
  const double d = depth;
  auto sliced = std::make_shared<SlicedPrisms>();
  return [path, d, sliced](const LoadedObject* first, const LoadedObject* last, std::string* text) {
    Prism prism;
    PrismRecords records;
    const auto all = [&records](size_t) -> const PrismRecords& { return records; };
    for (; first != last; ++first) {
      if (first->slices > 1) {
        const std::shared_ptr<SlicedPrisms::Shared> shared =
            sliced->take(first->index, first->slices);
        const struct Done {
          SlicedPrisms& prisms;
          size_t index;
          ~Done() { prisms.done(index); }
        } done{*sliced, first->index};
        const Prism& whole = shared->prism([&](Prism* p) { makePrism(*first, path, d, p); });
        const size_t units = 3 * whole.size();
        appendPrismUnits(
            whole, units * first->slice / first->slices, units * (first->slice + 1) / first->slices,
            [&shared](size_t i) -> const PrismRecords& { return shared->records(i); }, text);
        continue;
      }
      makePrism(*first, path, d, &prism);
      records.make(prism, 0, prism.size());
      appendPrismUnits(prism, 0, 3 * prism.size(), all, text);
    }
  };
}

// An object of more than 16 k records is made in slices of about 8 k units, two or more for
// each thread; the rest whole.
uint32_t prismSlices(const LoadedObject& object) {
  if (object.records <= 16384) return 1;
  return static_cast<uint32_t>(std::min<size_t>(3 * object.records / 8192, 4096));
}

}  // namespace

void Vandrel::extrude(const ExtrudeArguments& arguments) {
  const QString source = arguments.source + QStringLiteral(".poly");
  streamFile(source, arguments.output + QStringLiteral(".poly"),
             prismFormat(source, arguments.depth), FirstFault::output, prismSlices);
}

void Vandrel::doExtrude(float depth, const QString& outName) {
  OutputFile out(outName + QStringLiteral(".poly"));
  writeObjects(*model, out, prismFormat(loadedPath, depth));
  out.commit();
}
