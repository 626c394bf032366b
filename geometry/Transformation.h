#pragma once

#include "ProjPoint.h"

// A 4×4 matrix of doubles that maps points, vectors and homogeneous points.
//
// Convention: row vectors. A point is the row (x, y, z, w) multiplied from the left, p' = p · M,
// so translations sit in the last row and the product A * B applies A first, then B. The
// builders below take their angles in degrees, converted with pi = 3.1415926535897.
//
// Equality is exact IEEE comparison of all sixteen elements, with no tolerance.

template <class T>
class ListOf;
using ListOfPoints = ListOf<Point>;
using ListOfProjPoints = ListOf<ProjPoint>;
using ListOfVectors = ListOf<Vector>;

class Transformation {
 public:
  // The identity.
  Transformation();
  Transformation(const Transformation&) = default;
  Transformation& operator=(const Transformation&) = default;
  virtual ~Transformation() = default;

  // These return a copy of the updated matrix, not a reference.
  Transformation operator+=(const Transformation& b);
  Transformation operator-=(const Transformation& b);
  // This matrix becomes this · b; works when b is this matrix itself.
  Transformation operator*=(const Transformation& b);

  // Resets to the identity.
  void id();
  // Element (i, j); a subscript outside 0..3 is a fatal error: exit status 200.
  double matrix(int i, int j) const;

  // The image of (x, y, z, 1), divided by the fourth component unless that is exactly 1.
  Point applied_to(const Point& p) const;
  // The image of (x, y, z, 0): translations do not move vectors.
  Vector applied_to(const Vector& v) const;
  // The image of (x, y, z, w), not divided.
  ProjPoint applied_to(const ProjPoint& p) const;
  ListOfPoints applied_to(const ListOfPoints& list) const;
  ListOfProjPoints applied_to(const ListOfProjPoints& list) const;
  ListOfVectors applied_to(const ListOfVectors& list) const;

 private:
  // r · M for the row r, each component summed over k = 0..3 in order from 0.0.
  void transformRow(const double r[4], double out[4]) const;

  friend Transformation operator+(const Transformation& a, const Transformation& b);
  friend Transformation operator-(const Transformation& a, const Transformation& b);
  friend Transformation operator-(const Transformation& a);
  friend Transformation operator*(double s, const Transformation& a);
  friend Transformation operator*(const Transformation& a, const Transformation& b);
  friend Transformation translate_by(Vector t);
  friend Transformation scale_by(Vector s);
  friend Transformation planeRotation(double degrees, int i, int j);
  friend Transformation view(double n, double f, double v);
  friend Transformation inverse_view(double n, double f, double v);

  double m[4][4];  // row i, column j
};

bool operator==(const Transformation& a, const Transformation& b);
inline bool operator!=(const Transformation& a, const Transformation& b) { return !(a == b); }
Transformation operator+(const Transformation& a, const Transformation& b);
Transformation operator-(const Transformation& a, const Transformation& b);
Transformation operator-(const Transformation& a);
Transformation operator*(double s, const Transformation& a);
Transformation operator*(const Transformation& a, double s);
// The matrix product a · b: a applied first.
Transformation operator*(const Transformation& a, const Transformation& b);

// Four lines, each a tab before every element, each ended and flushed.
std::ostream& operator<<(std::ostream& out, const Transformation& a);

// Builders. Rotations turn right-handedly about their axis by an angle in degrees.
Transformation identity();
Transformation translate_by(Vector t);
Transformation translate_by(double tx, double ty, double tz);
Transformation scale_by(Vector s);
Transformation scale_by(double sx, double sy, double sz);
Transformation x_rotate_by(double degrees);
Transformation y_rotate_by(double degrees);
Transformation z_rotate_by(double degrees);
// About the line through the origin along `axis` (any length; the zero axis turns about z).
Transformation rotate_by(double degrees, const Vector& axis);
// Perspective viewing transformation for near distance n, far distance f and viewing angle v in
// degrees; writes "Viewing Transform" and the matrix to standard output. Unless v > 0 and f > n,
// the identity, and nothing is written.
Transformation view(double n, double f, double v);
// The inverse of view(n, f, v), written nowhere; the identity outside view's domain.
Transformation inverse_view(double n, double f, double v);
