#include "View.h"

#include <QStringList>
#include <cmath>

namespace {

struct NamedView {
  const char* name;
  View view;
};

const NamedView namedViews[] = {
    {"iso", View{-45, 35.264}},
    {"top", View{-90, 90}},
    {"front", View{-90, 0}},
    {"side", View{0, 0}},
};

}  // namespace

QStringList viewNames() {
  QStringList names;
  for (const NamedView& named : namedViews) names << QLatin1String(named.name);
  return names;
}

bool viewOf(const QString& text, View* view) {
  const NamedView* named = nullptr;
  for (const NamedView& candidate : namedViews) {
    if (text == QLatin1String(candidate.name)) named = &candidate;
  }
  if (named != nullptr) {
    *view = named->view;
  } else {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2) return false;
    bool okAzimuth = false, okElevation = false;
    const double azimuth = parts[0].toDouble(&okAzimuth);
    const double elevation = parts[1].toDouble(&okElevation);
    if (!okAzimuth || !okElevation || !std::isfinite(azimuth) || !std::isfinite(elevation) ||
        elevation < -90 || elevation > 90) {
      return false;
    }
    *view = View{azimuth, elevation};
  }
  return true;
}
