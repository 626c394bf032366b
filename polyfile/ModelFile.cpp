#include "ModelFile.h"

#include <deque>
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

// The target of a stream: each object is let go as soon as its text is made, so that a model
// of any size is streamed in the memory of a few steps' objects (the pool reuses their blocks).
class StreamTarget : public LoadTarget {
 public:
  StreamTarget() = default;
  StreamTarget(const StreamTarget&) = delete;
  StreamTarget& operator=(const StreamTarget&) = delete;
  ~StreamTarget() override {
    for (LinkNodeHolder* object : live_) delete object;
  }

  LinkNodeHolder* open() override {
    live_.push_back(nullptr);
    live_.back() = new LinkNodeHolder;
    return live_.back();
  }
  void record(float x, float y, float z) override { live_.back()->add(x, y, z, 1.0f); }
  void finish() override {}
  // Objects are released in the order they were opened.
  void release(LinkNodeHolder* object) override {
    if (live_.empty() || live_.front() != object) return;
    delete object;
    live_.pop_front();
  }

 private:
  std::deque<LinkNodeHolder*> live_;  // opened and not yet released, in order; owned
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
  StreamTarget target;
  ModelLoader loader(sourcePath, target);
  runPipeline(loader, out ? &*out : nullptr, formatting ? &format : nullptr, first,
              slices ? &slices : nullptr);
  if (outputFailure) std::rethrow_exception(outputFailure);
  out->commit();
}
