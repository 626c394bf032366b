// clip: keeps, of every polygon, the part on the side of a plane into which its normal points.

#include <vector>

#include "ModelFile.h"
#include "ModelText.h"
#include "Normals.h"
#include "OutputFile.h"
#include "PolygonClip.h"
#include "Vandrel.h"

namespace {

// Each polygon clipped (PolygonClip.h); a kept part without area, such as a polygon that only
// touches the plane, is left out, as are polygons with nothing on the positive side.
ObjectFormat clipFormat(const Plane& plane) {
  const Vector normal(plane.normal[0], plane.normal[1], plane.normal[2]);
  const Point point(plane.point[0], plane.point[1], plane.point[2]);
  return [normal, point](const LoadedObject* first, const LoadedObject* last, std::string* text) {
    ClippedPolygon clipped;
    for (; first != last; ++first) {
      LinkNodeHolder& object = *first->object;
      if (!object.hasCurent()) continue;
      const Point lead(object.getX(), object.getY(), object.getZ());
      clipPolygon<false>(object, normal, point, &clipped);
      const std::vector<Point>& kept = clipped.kept;
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
  if (arguments.cap) return clipAndCap(arguments);
  streamFile(arguments.source + QStringLiteral(".poly"), arguments.output + QStringLiteral(".poly"),
             clipFormat(arguments.plane), FirstFault::output);
}

void Vandrel::doClip(const QString& outName, const Plane& plane) {
  OutputFile out(outName + QStringLiteral(".poly"));
  writeObjects(*model, out, clipFormat(plane));
  out.commit();
}
