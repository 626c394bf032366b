// clip: keeps, of every polygon, the part on the side of a plane into which its normal points.

#include "Failure.h"
#include "ModelWalk.h"
#include "Numbers.h"
#include "OutputFile.h"
#include "Vandrel.h"

void Vandrel::clip(int, char** argv) {
  for (int i = 4; i <= 9; ++i) readArgument(argv[i]);
  loadFile(QString::fromLocal8Bit(argv[2]));
  QString arguments[7];
  for (int i = 0; i < 7; ++i) arguments[i] = QString::fromLocal8Bit(argv[3 + i]);
  doClip(arguments[0], arguments[1], arguments[2], arguments[3], arguments[4], arguments[5],
         arguments[6]);
}

// t = da / (da − db) in single precision, then a + t·(b − a) in double.
Point Vandrel::getCenter(Point* a, Point* b, float da, float db) {
  const float difference = da - db;
  const float t = da / difference;
  return *a + static_cast<double>(t) * (*b - *a);
}

// Walks each polygon's vertices c1 … cn and writes, in the order of travel, every vertex on the
// positive side or on the plane and the crossing point of every edge whose ends lie strictly on
// opposite sides. The side value of v is dot(v − P, N); there is no tolerance, and NaN counts as
// on the plane. Objects with nothing on the positive side, and objects without vertices, are
// left out.
void Vandrel::doClip(QString outName, QString nx, QString ny, QString nz, QString px, QString py,
                     QString pz) {
  auto number = [](const QString& text) -> double { return readNumber(text).value_or(0.0f); };
  const Vector normal(number(nx), number(ny), number(nz));
  const Point plane(number(px), number(py), number(pz));
  auto side = [&](const Point& v) { return dot(v - plane, normal); };

  OutputFile out(outName + QStringLiteral(".poly"));

  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    currentObject = &object;
    if (!object.hasCurent()) return;
    leadPoint = std::make_unique<Point>(object.getX(), object.getY(), object.getZ());
    bool started = false;
    auto keep = [&](const Point& p) {
      if (!started) {
        out.write("newObject\n");
        out.writeRecord(leadPoint->x, leadPoint->y, leadPoint->z, 1);
        started = true;
      }
      out.writeRecord(p.x, p.y, p.z, 1);
    };
    bool first = true;
    Point c1;
    double s1 = 0;
    Point previous;
    double sPrevious = 0;
    // Keeps `previous` unless it is negative, and the crossing point of the edge from it to (c, s).
    auto edge = [&](Point& c, double s) {
      if (!(sPrevious < 0)) keep(previous);
      if ((sPrevious > 0 && s < 0) || (sPrevious < 0 && s > 0)) {
        keep(getCenter(&previous, &c, static_cast<float>(sPrevious), static_cast<float>(s)));
      }
    };
    walkVertices(object, [&](LinkNodeHolder& r) {
      Point c(r.getX(), r.getY(), r.getZ());
      const double s = side(c);
      if (first) {
        c1 = c;
        s1 = s;
        first = false;
      } else {
        edge(c, s);
      }
      previous = c;
      sPrevious = s;
    });
    if (!first) edge(c1, s1);
  });
  model->reset();
  out.commit();
}
