#include "Transformation.h"

#include <cmath>
#include <iostream>
#include <sstream>

#include "Fatal.h"
#include "ListOfPoints.h"
#include "ListOfProjPoints.h"
#include "ListOfVectors.h"

namespace {

const double pi = 3.1415926535897;  // thirteen decimals, on purpose: outputs depend on it

double toRadians(double angle) { return (angle * pi) / 180.0; }
double toDegrees(double angle) { return (angle * 180.0) / pi; }

template <class Element>
ListOf<Element> mapList(const Transformation& t, const ListOf<Element>& list) {
  ListOf<Element> image;
  const int n = list.length();
  for (int i = 0; i < n; ++i) image.add(t.applied_to(list[i]));
  return image;
}

}  // namespace

Transformation::Transformation() { id(); }

void Transformation::id() {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) m[i][j] = i == j ? 1.0 : 0.0;
  }
}

double Transformation::matrix(int i, int j) const {
  if (i < 0 || i > 3 || j < 0 || j > 3) {
    std::ostringstream text;
    text << "Illegal subscripts (" << i << ", " << j << ") to operator() in the "
         << "Transformation class" << std::endl;
    geometryFatal(text.str());
  }
  return m[i][j];
}

Transformation Transformation::operator+=(const Transformation& b) {
  *this = *this + b;
  return *this;
}

Transformation Transformation::operator-=(const Transformation& b) {
  *this = *this - b;
  return *this;
}

Transformation Transformation::operator*=(const Transformation& b) {
  *this = *this * b;
  return *this;
}

void Transformation::transformRow(const double r[4], double out[4]) const {
  for (int j = 0; j < 4; ++j) {
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) sum += r[k] * m[k][j];
    out[j] = sum;
  }
}

Point Transformation::applied_to(const Point& p) const {
  const double row[4] = {p.x, p.y, p.z, 1.0};
  double out[4];
  transformRow(row, out);
  if (out[3] == 1.0) return Point(out[0], out[1], out[2]);
  return Point(out[0] / out[3], out[1] / out[3], out[2] / out[3]);
}

Vector Transformation::applied_to(const Vector& v) const {
  const double row[4] = {v.x, v.y, v.z, 0.0};
  double out[4];
  transformRow(row, out);
  return Vector(out[0], out[1], out[2]);
}

ProjPoint Transformation::applied_to(const ProjPoint& p) const {
  const double row[4] = {p.x, p.y, p.z, p.w};
  double out[4];
  transformRow(row, out);
  return ProjPoint(out[0], out[1], out[2], out[3]);
}

ListOfPoints Transformation::applied_to(const ListOfPoints& list) const {
  return mapList(*this, list);
}
ListOfProjPoints Transformation::applied_to(const ListOfProjPoints& list) const {
  return mapList(*this, list);
}
ListOfVectors Transformation::applied_to(const ListOfVectors& list) const {
  return mapList(*this, list);
}

bool operator==(const Transformation& a, const Transformation& b) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      if (!(a.matrix(i, j) == b.matrix(i, j))) return false;
    }
  }
  return true;
}

Transformation operator+(const Transformation& a, const Transformation& b) {
  Transformation sum;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) sum.m[i][j] = a.m[i][j] + b.m[i][j];
  }
  return sum;
}

Transformation operator-(const Transformation& a, const Transformation& b) {
  Transformation difference;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) difference.m[i][j] = a.m[i][j] - b.m[i][j];
  }
  return difference;
}

Transformation operator-(const Transformation& a) {
  Transformation negated;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) negated.m[i][j] = -a.m[i][j];
  }
  return negated;
}

Transformation operator*(double s, const Transformation& a) {
  Transformation scaled;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) scaled.m[i][j] = s * a.m[i][j];
  }
  return scaled;
}

Transformation operator*(const Transformation& a, double s) { return s * a; }

Transformation operator*(const Transformation& a, const Transformation& b) {
  Transformation product;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      product.m[i][j] = sum;
    }
  }
  return product;
}

std::ostream& operator<<(std::ostream& out, const Transformation& a) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) out << '\t' << a.matrix(i, j);
    out << std::endl;
  }
  return out;
}

Transformation identity() { return Transformation(); }

Transformation translate_by(Vector t) {
  Transformation result;
  result.m[3][0] = t.x;
  result.m[3][1] = t.y;
  result.m[3][2] = t.z;
  return result;
}

Transformation translate_by(double tx, double ty, double tz) {
  return translate_by(Vector(tx, ty, tz));
}

Transformation scale_by(Vector s) {
  Transformation result;
  result.m[0][0] = s.x;
  result.m[1][1] = s.y;
  result.m[2][2] = s.z;
  return result;
}

Transformation scale_by(double sx, double sy, double sz) { return scale_by(Vector(sx, sy, sz)); }

// A rotation in the plane of axes i and j, from i towards j: cosine c of the angle on both
// diagonal places, its sine s at (i, j) and -s at (j, i). With row vectors this is the
// transpose of the column-vector textbook form.
Transformation planeRotation(double degrees, int i, int j) {
  double s;
  double c;
  sincos(toRadians(degrees), &s, &c);
  Transformation result;
  result.m[i][i] = c;
  result.m[i][j] = s;
  result.m[j][i] = -s;
  result.m[j][j] = c;
  return result;
}

Transformation x_rotate_by(double degrees) { return planeRotation(degrees, 1, 2); }
Transformation y_rotate_by(double degrees) { return planeRotation(degrees, 2, 0); }
Transformation z_rotate_by(double degrees) { return planeRotation(degrees, 0, 1); }

// Turns the axis into the y–z plane and onto +z, rotates about z, and turns back.
Transformation rotate_by(double angle, const Vector& axis) {
  const double h = std::sqrt(axis.x * axis.x + axis.z * axis.z);
  const double thetaY = toDegrees(std::atan2(axis.x, axis.z));
  const double thetaX = toDegrees(std::atan2(axis.y, h));
  return (((y_rotate_by(-thetaY) * x_rotate_by(thetaX)) * z_rotate_by(angle)) *
          x_rotate_by(-thetaX)) *
         y_rotate_by(thetaY);
}

Transformation view(double n, double f, double v) {
  Transformation result;
  if (!(v > 0 && f > n)) return result;
  const double t = std::tan(((v * 0.5) * pi) / 180.0);
  const double e = 1.0 / t;
  result.m[0][0] = e;
  result.m[1][1] = e;
  result.m[2][2] = (f + n) / (f - n);
  result.m[2][3] = -1;
  result.m[3][2] = ((n + n) * f) / (f - n);
  result.m[3][3] = 0;
  std::cout << "Viewing Transform" << std::endl << result;
  return result;
}

Transformation inverse_view(double n, double f, double v) {
  Transformation result;
  if (!(v > 0 && f > n)) return result;
  const double t = std::tan(((v * 0.5) * pi) / 180.0);
  result.m[0][0] = t;
  result.m[1][1] = t;
  result.m[2][2] = 0;
  result.m[2][3] = (f - n) / ((n + n) * f);
  result.m[3][2] = -1;
  result.m[3][3] = (f + n) / ((n + n) * f);
  return result;
}
