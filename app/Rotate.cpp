// rot: copies of a model turned step by step about an axis given by a direction and a point.

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <QFile>
#include <cmath>

#include "Failure.h"
#include "Keywords.h"
#include "ModelFile.h"
#include "OutputFile.h"
#include "Quote.h"
#include "Vandrel.h"

namespace {

// The turn about y, in radians, that brings the axis into the y–z plane with a positive z.
float alignmentY(float ax, float az) {
  if (az > 0) return std::atan(ax / az);
  if (az == 0 && ax == 1) return 1.5707963705062866f;
  if (az == 0 && ax == 0) return 0;
  // Axes pointing to −z, or lying in the x–y plane: the quadrant-aware angle carries them onto
  // +z as well (the quotient above would turn them onto −z, or leave them off the z axis).
  return std::atan2(ax, az);
}

// The turn about x, in radians, that then brings the axis onto +z. The squares are summed in
// float where that neither overflows nor loses the small ones, else in double.
float alignmentX(float ax, float ay, float az) {
  const float h2 = ax * ax + az * az;
  const double h =
      std::isnormal(h2) ? std::sqrt(double{h2}) : std::sqrt(double{ax} * ax + double{az} * az);
  return static_cast<float>(std::atan(static_cast<double>(ay) / h));
}

// Refuses, before anything is written, copies that would not fit: about the input's size for
// each copy.
void checkSpace(const OutputFile& out, const QString& outPath, const QString& input,
                double copies) {
  struct stat source;
  struct statvfs target;
  if (::stat(QFile::encodeName(input).constData(), &source) != 0 || !S_ISREG(source.st_mode) ||
      ::statvfs(out.folder().constData(), &target) != 0) {
    return;
  }
  const double needed = static_cast<double>(source.st_size) * copies;
  const double free = static_cast<double>(target.f_bavail) * static_cast<double>(target.f_frsize);
  if (needed > free) {
    throw RunError(QStringLiteral("cannot write ") + quoted(outPath) +
                   QStringLiteral(": the copies need about %1 bytes, and %2 are free")
                       .arg(needed, 0, 'f', 0)
                       .arg(free, 0, 'f', 0));
  }
}

}  // namespace

void Vandrel::rot(const RotArguments& arguments) {
  loadFile(arguments.source);
  doRotate(arguments.output, arguments.sweep);
}

// Writes copy 0 (the model), then turns the model by one step about the axis and writes it
// again, as many times as the count asks. The turn is one matrix: the move of the axis onto the
// z axis, the step about z, and the move back. The copies are kept, and turned, in the model's
// own frame, so that a far axis costs no precision; with the z axis through the origin the
// move is the identity and the turn the step about z itself.
void Vandrel::doRotate(const QString& outName, const Sweep& sweep) {
  const float step = sweep.total / sweep.count;
  const float ax = sweep.axis[0], ay = sweep.axis[1], az = sweep.axis[2];
  const float* c = sweep.centre;
  const float thetaY = alignmentY(ax, az);
  const float thetaX = alignmentX(ax, ay, az);

  Transformation align;
  align = align * translate_by(-c[0], 0, 0);
  align = align * translate_by(0, -c[1], 0);
  align = align * translate_by(0, 0, -c[2]);
  align = align * y_rotate_by(keywordDegrees(-thetaY));
  align = align * x_rotate_by(keywordDegrees(thetaX));
  Transformation back;
  back = back * x_rotate_by(keywordDegrees(-thetaX));
  back = back * y_rotate_by(keywordDegrees(thetaY));
  back = back * translate_by(c[0], 0, 0);
  back = back * translate_by(0, c[1], 0);
  back = back * translate_by(0, 0, c[2]);
  const Transformation turn = align * z_rotate_by(step) * back;

  const QString outPath = outName + QStringLiteral(".poly");
  OutputFile out(outPath);
  const double copies = std::ceil(static_cast<double>(sweep.count));
  checkSpace(out, outPath, loadedPath, copies);
  for (long long k = 0; static_cast<double>(sweep.count) > static_cast<double>(k); ++k) {
    if (k > 0) doMult(turn);
    writeModel(*model, out);
  }
  out.commit();
}
