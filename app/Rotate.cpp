// rot: copies of a model turned step by step about an axis given by a direction and a point.

#include <QFile>
#include <cmath>

#include "Failure.h"
#include "ModelWalk.h"
#include "Numbers.h"
#include "OutputFile.h"
#include "Vandrel.h"

namespace {

float number(const QString& text) { return readNumber(text).value_or(0.0f); }

// The turn about y, in radians, that brings the axis into the y–z plane with a positive z.
float alignmentY(float ax, float az) {
  if (az > 0) return std::atan(ax / az);
  if (az == 0 && ax == 1) return 1.5707963705062866f;
  if (az == 0 && ax == 0) return 0;
  // Axes pointing to −z, or lying in the x–y plane: the quadrant-aware angle carries them onto
  // +z as well (the quotient above would turn them onto −z, or leave them off the z axis).
  return std::atan2(ax, az);
}

// The turn about x, in radians, that then brings the axis onto +z.
float alignmentX(float ax, float ay, float az) {
  const float h2 = ax * ax + az * az;
  return static_cast<float>(std::atan(static_cast<double>(ay) / std::sqrt(double{h2})));
}

}  // namespace

void Vandrel::rot(int, char** argv) {
  float values[8];
  for (int i = 0; i < 8; ++i) values[i] = readArgument(argv[4 + i]);
  if (values[0] == 0 && values[1] == 0 && values[2] == 0) {
    throw UsageError(QStringLiteral("the axis direction must not be zero"));
  }
  if (!(values[6] > 0)) {
    throw UsageError(QStringLiteral("the copy count must be positive, not '%1'").arg(argv[10]));
  }
  if (!std::isfinite(values[7] / values[6])) {
    throw UsageError(QStringLiteral("the step %1 / %2 is too large").arg(argv[11], argv[10]));
  }
  loadFile(QString::fromLocal8Bit(argv[2]));
  QString arguments[9];
  for (int i = 0; i < 9; ++i) arguments[i] = QString::fromLocal8Bit(argv[3 + i]);
  doRotate(arguments[0], arguments[1], arguments[2], arguments[3], arguments[4], arguments[5],
           arguments[6], arguments[7], arguments[8]);
  writeFile(arguments[0]);
}

// Moves the axis onto the z axis, has the copies made about z through the scratch file, reads
// them back and moves them back about the axis. The copies pass through the text form of the
// model file, so their coordinates are rounded to it in the aligned frame.
void Vandrel::doRotate(QString outName, QString ax, QString ay, QString az, QString cx, QString cy,
                       QString cz, QString count, QString total) {
  const float step = number(total) / number(count);
  const float x = number(ax), y = number(ay), z = number(az);
  const float thetaY = alignmentY(x, z);
  const float thetaX = alignmentX(x, y, z);

  Transformation t;
  t = xt(-number(cx), t);
  t = yt(-number(cy), t);
  t = zt(-number(cz), t);
  t = yr(-thetaY, t);
  t = xr(thetaX, t);
  doMult(t);

  // The scratch file goes whatever happens from here on.
  const QString scratch = outName + QStringLiteral(".polyTemp");
  struct Remove {
    const QString& path;
    ~Remove() { QFile::remove(path); }
  } remove{scratch};
  doZrm(outName, step, number(count));
  model = std::make_unique<LNHHolder>();
  currentObject = nullptr;
  loadObject = nullptr;
  readTfile(outName);

  t = Transformation();
  t = xr(-thetaX, t);
  t = yr(thetaY, t);
  t = xt(number(cx), t);
  t = yt(number(cy), t);
  t = zt(number(cz), t);
  doMult(t);
}

void Vandrel::doZrm(QString name, float angle, float count) {
  OutputFile out(name + QStringLiteral(".polyTemp"));
  const Transformation turn = zd(angle, Transformation());
  for (long long k = 0; static_cast<double>(count) > static_cast<double>(k); ++k) {
    model->reset();
    walkObjects(*model, [&](LinkNodeHolder& object) {
      currentObject = &object;
      out.write("newObject\n");
      if (!object.hasCurent()) return;
      leadPoint = std::make_unique<Point>(object.getX(), object.getY(), object.getZ());
      out.writeRecord(leadPoint->x, leadPoint->y, leadPoint->z, 1);
      walkVertices(object, [&](LinkNodeHolder& r) {
        out.writeRecord(r.getX(), r.getY(), r.getZ(), r.getW());
      });
    });
    doMult(turn);
  }
  out.commit();
}
