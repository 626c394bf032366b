// transform and create: keyword lists (XT 2 ZD 90 ...) applied to every vertex of a model.

#include <cmath>

#include "Failure.h"
#include "Keywords.h"
#include "ModelFile.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "Quote.h"
#include "Vandrel.h"

Transformation Vandrel::parseParams(int first, int argc, char** argv, Transformation start) {
  return parseKeywords(Words{argv, argc}, first, start);
}

namespace {

// The record under the object's cursor becomes t applied to it as a row vector, stored back as
// floats without division by w. False, and the record left as it was, when a result is not a
// finite float.
bool applyTo(const Transformation& t, LinkNodeHolder& record) {
  const ProjPoint image =
      t.applied_to(ProjPoint(record.getX(), record.getY(), record.getZ(), record.getW()));
  const auto x = static_cast<float>(image.x);
  const auto y = static_cast<float>(image.y);
  const auto z = static_cast<float>(image.z);
  const auto w = static_cast<float>(image.w);
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !std::isfinite(w)) {
    return false;
  }
  record.setX(x);
  record.setY(y);
  record.setZ(z);
  record.setW(w);
  return true;
}

}  // namespace

// Every vertex record is transformed; lead records never are.
void Vandrel::doMult(Transformation t) {
  size_t index = 0;
  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    ++index;
    walkVertices(object, [&](LinkNodeHolder& record) {
      if (!applyTo(t, record)) throw resultOutOfRange(loadedPath, index);
    });
  });
  model->reset();
}

// As doMult and then writeFile, object by object while the source is read.
void Vandrel::transform(const TransformArguments& arguments) {
  const Transformation& t = arguments.steps;
  const QString source = arguments.source + QStringLiteral(".poly");
  const ObjectFormat format = [&source, &t](const LoadedObject* first, const LoadedObject* last,
                                            std::string* text) {
    for (; first != last; ++first) {
      walkVertices(*first->object, [&](LinkNodeHolder& record) {
        if (!applyTo(t, record)) throw resultOutOfRange(source, first->index);
      });
      appendObject(*text, *first->object);
    }
  };
  streamFile(source, arguments.output + QStringLiteral(".poly"), format, FirstFault::model);
}
