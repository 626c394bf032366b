#include "ProjPoint.h"

#include <sstream>

#include "Fatal.h"

Point ProjPoint::project() const {
  if (w == 0.0) {
    std::ostringstream text;
    text << "Cannot project a point with projective "
         << "coordinate zero -- " << *this;
    geometryFatal(text.str());
  }
  return Point(x / w, y / w, z / w);
}

std::ostream& operator<<(std::ostream& out, const ProjPoint& p) {
  return out << "( " << p.x << ", " << p.y << ", " << p.z << ", " << p.w << " )";
}
