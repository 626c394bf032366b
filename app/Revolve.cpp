// revolve: each polygon of a model, a profile in a plane through an axis, swept into a solid.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Failure.h"
#include "ModelFile.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "Quote.h"
#include "Revolve.h"
#include "Vandrel.h"

namespace {

QString faultText(RevolveFault fault) {
  switch (fault) {
    case RevolveFault::noArea:
      return QStringLiteral("has no area to revolve");
    case RevolveFault::crossesAxis:
      return QStringLiteral("crosses the axis");
    case RevolveFault::offPlane:
      return QStringLiteral("is not in a plane through the axis");
    case RevolveFault::none:
      break;
  }
  return QString();
}

// Every face repeats its profile's lead record. A vertex may lie off the plane through the axis,
// or across the axis, by the weld distance of its profile (1e-5 of its largest side).
ObjectFormat revolveFormat(const QString& path, const RevolveArguments& a) {
  const RevolveSweep whole{Vec3{a.axis[0], a.axis[1], a.axis[2]},
                           Vec3{a.centre[0], a.centre[1], a.centre[2]}, a.steps, a.degrees, 0};
  // Both threads call this at once: each works on a sweep of its own.
  return [path, whole](const LoadedObject* first, const LoadedObject* last, std::string* text) {
    RevolveSweep sweep = whole;
    std::vector<Vec3> profile;
    std::string lead;
    for (; first != last; ++first) {
      // A profile in slices is read by both threads at once: its cursor stays on the lead.
      const LinkNodeHolder& object = *first->object;
      profile.clear();
      lead = "newObject\n";
      if (object.hasCurent()) appendRecord(lead, object.getX(), object.getY(), object.getZ(), 1);
      readVertices(object, [&](const LinkNode& r) { profile.push_back(Vec3{r.x, r.y, r.z}); });
      Vec3 low = profile.empty() ? Vec3{} : profile.front(), high = low;
      for (const Vec3& v : profile) {
        low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
        high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
      }
      sweep.tolerance = 1e-5 * std::max({high.x - low.x, high.y - low.y, high.z - low.z});
      sweep.firstStep = sweep.steps * long(first->slice) / long(first->slices);
      sweep.lastStep = sweep.steps * long(first->slice + 1) / long(first->slices);
      sweep.ends = first->slice + 1 == first->slices;
      bool finite = true;
      const RevolveFault fault = revolve(profile, sweep, [&](const Vec3* v, size_t count) {
        *text += lead;
        for (size_t i = 0; i < count; ++i) {
          finite = finite && std::isfinite(float(v[i].x)) && std::isfinite(float(v[i].y)) &&
                   std::isfinite(float(v[i].z));
          appendRecord(*text, v[i].x, v[i].y, v[i].z, 1);
        }
      });
      if (!finite) throw resultOutOfRange(path, first->index);
      if (fault != RevolveFault::none) {
        throw RunError(quotedIfNeeded(path) +
                       QStringLiteral(": object %1 (line %2) ").arg(first->index).arg(first->line) +
                       faultText(fault));
      }
    }
  };
}

// A profile whose solid has more than about 64 k vertex records is made in slices of steps.
ObjectSlices revolveSlices(long steps) {
  return [steps](const LoadedObject& object) {
    const double slices = double(object.records) * double(steps) / 16384;
    return static_cast<uint32_t>(std::clamp(slices, 1.0, std::min(double(steps), 65536.0)));
  };
}

}  // namespace

void Vandrel::revolve(const RevolveArguments& arguments) {
  const QString source = arguments.source + QStringLiteral(".poly");
  streamFile(source, arguments.output + QStringLiteral(".poly"), revolveFormat(source, arguments),
             FirstFault::model, revolveSlices(arguments.steps));
}
