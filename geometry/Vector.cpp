#include "Vector.h"

#include <cmath>
#include <ostream>

double Vector::length() const { return std::sqrt((x * x + y * y) + z * z); }

void Vector::normalize() {
  const double l = length();
  x /= l;
  y /= l;
  z /= l;
}

std::ostream& operator<<(std::ostream& out, const Vector& v) {
  return out << "< " << v.x << ", " << v.y << ", " << v.z << " >";
}
