#include "ModelFile.h"

#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "Failure.h"
#include "ModelLoader.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "OutputFile.h"
#include "Parallel.h"
#include "Quote.h"

namespace {

// The objects of a model in memory, from its cursor on, about 64 Ki records per step.
class ModelInHand : public ObjectSource {
 public:
  explicit ModelInHand(LNHHolder& model) : model_(model) {
    model_.reset();
    more_ = model_.hasCurent();
  }

  bool next() override { return more_; }

  void lead(std::vector<LoadedObject>* completed) override {
    size_t records = 0;
    do {
      LinkNodeHolder& object = *model_.getCurrent();
      size_t count = 0;
      walkRecords(object, [&count](LinkNodeHolder&) { ++count; });
      completed->push_back(LoadedObject{&object, ++index_, 0, count});
      records += count;
      more_ = model_.advance();
    } while (more_ && records < (1 << 16));
  }

 private:
  LNHHolder& model_;
  size_t index_ = 0;
  bool more_;
};

}  // namespace

std::unique_ptr<LNHHolder> readModel(const QString& path) {
  auto model = std::make_unique<LNHHolder>();
  ModelTarget target(*model);
  ModelLoader loader(path, target);
  runPipeline(loader, nullptr, nullptr);
  return model;
}

void writeModel(LNHHolder& model, OutputFile& out) {
  writeObjects(model, out,
               [](const LoadedObject* first, const LoadedObject* last, std::string* text) {
                 for (; first != last; ++first) appendObject(*text, *first->object);
               });
}

void writeObjects(LNHHolder& model, OutputFile& out, const ObjectFormat& format) {
  ModelInHand walk(model);
  runPipeline(walk, &out, &format);
  model.reset();
}

RunError resultOutOfRange(const QString& path, size_t object) {
  return RunError(quotedIfNeeded(path) +
                  QStringLiteral(": result out of range (object %1)").arg(object));
}

void streamFile(const QString& sourcePath, const QString& outputPath, const ObjectFormat& format,
                FirstFault first, const ObjectSlices& slices) {
  // The output is made first, so that its text can be written while the source is read; a
  // failure to make it is reported once the source has been read without fault, and, when the
  // model's faults come first, formatted without fault.
  std::optional<OutputFile> out;
  std::exception_ptr outputFailure;
  try {
    out.emplace(outputPath);
  } catch (const RunError&) {
    outputFailure = std::current_exception();
  }
  const bool formatting = out || first == FirstFault::model;
  auto model = std::make_unique<LNHHolder>();
  ModelTarget target(*model);
  ModelLoader loader(sourcePath, target);
  runPipeline(loader, out ? &*out : nullptr, formatting ? &format : nullptr, first,
              slices ? &slices : nullptr);
  if (outputFailure) std::rethrow_exception(outputFailure);
  // Freeing millions of records takes a while: it is done while the file is put in place.
  inParallel([&out]() { out->commit(); }, [&model]() { model.reset(); });
}
