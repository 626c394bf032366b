// transform and create: keyword lists (XT 2 ZD 90 ...) applied to every vertex of a model.

#include <algorithm>
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

// The record becomes t applied to it as a row vector, stored back as floats without division by
// w. False, and the record left as it was, when a result is not a finite float.
bool applyTo(const Transformation& t, LinkNode& record) {
  const ProjPoint image = t.applied_to(ProjPoint(record.x, record.y, record.z, record.w));
  const auto x = static_cast<float>(image.x);
  const auto y = static_cast<float>(image.y);
  const auto z = static_cast<float>(image.z);
  const auto w = static_cast<float>(image.w);
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !std::isfinite(w)) {
    return false;
  }
  record.x = x;
  record.y = y;
  record.z = z;
  record.w = w;
  return true;
}

// Slice `slice` of `slices` of an object's records, the lead record the first, transformed but
// for the lead record and formatted. Both threads work on one object at once, each on records
// of its own: the object's cursor stays on the lead record.
void formatSlice(const Transformation& t, const QString& source, const LoadedObject& object,
                 std::string* text) {
  const size_t begin = object.records * object.slice / object.slices;
  const size_t end = object.records * (object.slice + 1) / object.slices;
  LinkNode* record = object.object->getCurrent();
  for (size_t i = 0; i < begin; ++i) record = record->getNext();
  for (size_t i = begin; i < end; ++i, record = record->getNext()) {
    if (i == 0) {
      *text += "newObject\n";
    } else if (!applyTo(t, *record)) {
      throw resultOutOfRange(source, object.index);
    }
    appendRecord(*text, record->x, record->y, record->z, record->w);
  }
}

}  // namespace

// Every vertex record is transformed; lead records never are.
void Vandrel::doMult(Transformation t) {
  size_t index = 0;
  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    ++index;
    walkVertices(object, [&](LinkNodeHolder& record) {
      if (!applyTo(t, *record.getCurrent())) throw resultOutOfRange(loadedPath, index);
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
      if (first->slices > 1) {
        formatSlice(t, source, *first, text);
        continue;
      }
      walkVertices(*first->object, [&](LinkNodeHolder& record) {
        if (!applyTo(t, *record.getCurrent())) throw resultOutOfRange(source, first->index);
      });
      appendObject(*text, *first->object);
    }
  };
  // An object of more than 16 k records is done in slices of at least 8 k, two for each thread:
  // each slice walks to its first record from the lead record, and more would walk further.
  const ObjectSlices slices = [](const LoadedObject& object) {
    return static_cast<uint32_t>(std::clamp<size_t>(object.records / 8192, 1, 4));
  };
  streamFile(source, arguments.output + QStringLiteral(".poly"), format, FirstFault::model, slices);
}
