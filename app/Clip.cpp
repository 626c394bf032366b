// clip: keeps, of every polygon, the part on the side of a plane into which its normal points.

#include <cmath>
#include <vector>

#include "ModelFile.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "Normals.h"
#include "OutputFile.h"
#include "Vandrel.h"

namespace {

// t = da / (da − db) in single precision, then a + t·(b − a) in double. Where the side values
// do not fit a float, or their difference does not, single precision would put the point at a
// corner or make it NaN: t is then worked out in double.
Point crossing(const Point* a, const Point* b, double da, double db) {
  const auto fa = static_cast<float>(da);
  const auto fb = static_cast<float>(db);
  const float difference = fa - fb;
  double t;
  if (std::isnormal(fa) && std::isnormal(fb) && std::isfinite(difference)) {
    t = static_cast<double>(fa / difference);
  } else {
    t = da / (da - db);
  }
  return *a + t * (*b - *a);
}

// Walks each polygon's vertices c1 … cn and keeps, in the order of travel, every vertex on the
// positive side or on the plane and the crossing point of every edge whose ends lie strictly on
// opposite sides. The side value of v is dot(v − P, N); there is no tolerance. A kept part
// without area (Area.h), such as a polygon that only touches the plane, is left out, as are
// polygons with nothing on the positive side.
ObjectFormat clipFormat(const Plane& plane) {
  const Vector normal(plane.normal[0], plane.normal[1], plane.normal[2]);
  const Point point(plane.point[0], plane.point[1], plane.point[2]);
  return [normal, point](const LoadedObject* first, const LoadedObject* last, std::string* text) {
    auto side = [&](const Point& v) { return dot(v - point, normal); };
    std::vector<Point> kept;
    for (; first != last; ++first) {
      LinkNodeHolder& object = *first->object;
      if (!object.hasCurent()) continue;
      const Point lead(object.getX(), object.getY(), object.getZ());
      kept.clear();
      bool firstVertex = true;
      Point c1;
      double s1 = 0;
      Point previous;
      double sPrevious = 0;
      // Keeps `previous` unless it is negative, and the crossing point of the edge from it to
      // (c, s).
      auto edge = [&](Point& c, double s) {
        if (!(sPrevious < 0)) kept.push_back(previous);
        if ((sPrevious > 0 && s < 0) || (sPrevious < 0 && s > 0)) {
          kept.push_back(crossing(&previous, &c, sPrevious, s));
        }
      };
      walkVertices(object, [&](LinkNodeHolder& r) {
        Point c(r.getX(), r.getY(), r.getZ());
        const double s = side(c);
        if (firstVertex) {
          c1 = c;
          s1 = s;
          firstVertex = false;
        } else {
          edge(c, s);
        }
        previous = c;
        sPrevious = s;
      });
      if (!firstVertex) edge(c1, s1);
      const auto at = [&kept](size_t i) { return Vec3{kept[i].x, kept[i].y, kept[i].z}; };
      if (polygonNormal(kept.size(), at).isZero()) continue;
      *text += "newObject\n";
      appendRecord(*text, lead.x, lead.y, lead.z, 1);
      for (const Point& p : kept) appendRecord(*text, p.x, p.y, p.z, 1);
    }
  };
}

}  // namespace

Point Vandrel::getCenter(Point* a, Point* b, double da, double db) {
  return crossing(a, b, da, db);
}

void Vandrel::clip(const ClipArguments& arguments) {
  streamFile(arguments.source + QStringLiteral(".poly"), arguments.output + QStringLiteral(".poly"),
             clipFormat(arguments.plane), FirstFault::output);
}

void Vandrel::doClip(const QString& outName, const Plane& plane) {
  OutputFile out(outName + QStringLiteral(".poly"));
  writeObjects(*model, out, clipFormat(plane));
  out.commit();
}
