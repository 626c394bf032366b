// Transformation keyword lists (XT 2 ZD 90 ...) and their application to the model.

#include <cstring>

#include "Failure.h"
#include "ModelWalk.h"
#include "Numbers.h"
#include "Vandrel.h"

namespace {

using Builder = Transformation (Vandrel::*)(float value, Transformation t);

struct Keyword {
  const char* word;
  Builder builder;
};

const Keyword keywords[] = {
    {"XT", &Vandrel::xt}, {"YT", &Vandrel::yt}, {"ZT", &Vandrel::zt}, {"XS", &Vandrel::xs},
    {"YS", &Vandrel::ys}, {"ZS", &Vandrel::zs}, {"US", &Vandrel::us}, {"XD", &Vandrel::xd},
    {"YD", &Vandrel::yd}, {"ZD", &Vandrel::zd}, {"XR", &Vandrel::xr}, {"YR", &Vandrel::yr},
    {"ZR", &Vandrel::zr},
};

// Radians to degrees as the keywords have always done it: with 180 / 3.1415926535897 (not the
// exact degrees per radian) and rounded to float.
double keywordDegrees(float radians) {
  return static_cast<float>(static_cast<double>(radians) * 57.29577951308402);
}

}  // namespace

Transformation Vandrel::parseParams(int first, int argc, char** argv, Transformation start) {
  Transformation t = start;
  for (int i = first; i < argc; i += 2) {
    const Keyword* keyword = nullptr;
    for (const Keyword& candidate : keywords) {
      if (std::strcmp(argv[i], candidate.word) == 0) keyword = &candidate;
    }
    if (keyword == nullptr) {
      throw UsageError(QStringLiteral("unknown keyword '%1'").arg(QString::fromLocal8Bit(argv[i])));
    }
    if (i + 1 == argc) {
      throw UsageError(QStringLiteral("keyword %1 needs a value").arg(keyword->word));
    }
    t = (this->*keyword->builder)(readArgument(argv[i + 1]), t);
  }
  return t;
}

Transformation Vandrel::xt(float v, Transformation t) { return t * translate_by(v, 0, 0); }
Transformation Vandrel::yt(float v, Transformation t) { return t * translate_by(0, v, 0); }
Transformation Vandrel::zt(float v, Transformation t) { return t * translate_by(0, 0, v); }
Transformation Vandrel::xs(float v, Transformation t) { return t * scale_by(v, 1, 1); }
Transformation Vandrel::ys(float v, Transformation t) { return t * scale_by(1, v, 1); }
Transformation Vandrel::zs(float v, Transformation t) { return t * scale_by(1, 1, v); }
Transformation Vandrel::us(float v, Transformation t) { return t * scale_by(v, v, v); }
Transformation Vandrel::xd(float v, Transformation t) { return t * x_rotate_by(v); }
Transformation Vandrel::yd(float v, Transformation t) { return t * y_rotate_by(v); }
Transformation Vandrel::zd(float v, Transformation t) { return t * z_rotate_by(v); }
Transformation Vandrel::xr(float v, Transformation t) { return t * x_rotate_by(keywordDegrees(v)); }
Transformation Vandrel::yr(float v, Transformation t) { return t * y_rotate_by(keywordDegrees(v)); }
Transformation Vandrel::zr(float v, Transformation t) { return t * z_rotate_by(keywordDegrees(v)); }

// Every vertex record becomes t applied to it as a row vector, stored back as floats without
// division by w. Lead records are never transformed.
void Vandrel::doMult(Transformation t) {
  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    currentObject = &object;
    walkVertices(object, [&](LinkNodeHolder& record) {
      const ProjPoint image =
          t.applied_to(ProjPoint(record.getX(), record.getY(), record.getZ(), record.getW()));
      record.setX(static_cast<float>(image.x));
      record.setY(static_cast<float>(image.y));
      record.setZ(static_cast<float>(image.z));
      record.setW(static_cast<float>(image.w));
    });
  });
  model->reset();
}

void Vandrel::transform(int argc, char** argv) {
  const Transformation t = parseParams(3, argc, argv, Transformation());
  loadFile(QString::fromLocal8Bit(argv[2]));
  doMult(t);
  writeFile(QString::fromLocal8Bit(argv[2]));
}

void Vandrel::create(int argc, char** argv) {
  const Transformation t = parseParams(4, argc, argv, Transformation());
  loadFile(QString::fromLocal8Bit(argv[3]));
  doMult(t);
  writeFile(QString::fromLocal8Bit(argv[2]));
}
