// transform and create: keyword lists (XT 2 ZD 90 ...) applied to every vertex of a model.

#include <cmath>

#include "Failure.h"
#include "Keywords.h"
#include "ModelWalk.h"
#include "Quote.h"
#include "Vandrel.h"

Transformation Vandrel::parseParams(int first, int argc, char** argv, Transformation start) {
  return parseKeywords(Words{argv, argc}, first, start);
}

// Every vertex record becomes t applied to it as a row vector, stored back as floats without
// division by w. Lead records are never transformed.
void Vandrel::doMult(Transformation t) {
  size_t index = 0;
  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    currentObject = &object;
    ++index;
    walkVertices(object, [&](LinkNodeHolder& record) {
      const ProjPoint image =
          t.applied_to(ProjPoint(record.getX(), record.getY(), record.getZ(), record.getW()));
      const auto x = static_cast<float>(image.x);
      const auto y = static_cast<float>(image.y);
      const auto z = static_cast<float>(image.z);
      const auto w = static_cast<float>(image.w);
      if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !std::isfinite(w)) {
        outOfRange(index);
      }
      record.setX(x);
      record.setY(y);
      record.setZ(z);
      record.setW(w);
    });
  });
  model->reset();
}

void Vandrel::outOfRange(size_t object) const {
  throw RunError(quotedIfNeeded(loadedPath) +
                 QStringLiteral(": result out of range (object %1)").arg(object));
}

void Vandrel::transform(const TransformArguments& arguments) {
  loadFile(arguments.source);
  doMult(arguments.steps);
  writeFile(arguments.output);
}
