#include "View.h"

#include <QStringList>
#include <cmath>

bool viewOf(const QString& text, View* view) {
  if (text == QLatin1String("iso")) {
    *view = View{-45, 35.264};
  } else if (text == QLatin1String("top")) {
    *view = View{-90, 90};
  } else if (text == QLatin1String("front")) {
    *view = View{-90, 0};
  } else if (text == QLatin1String("side")) {
    *view = View{0, 0};
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
