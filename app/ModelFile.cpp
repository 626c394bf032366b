// The model file reader and writer.

#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Failure.h"
#include "ModelLoader.h"
#include "ModelMesh.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "OutputFile.h"
#include "Parallel.h"
#include "Vandrel.h"

namespace {

// The objects of a model in memory, from its cursor on, about 64 Ki records per step.
class ModelInHand : public ObjectSource {
 public:
  ModelInHand(LNHHolder& model, LinkNodeHolder*& currentObject)
      : model_(model), currentObject_(currentObject) {
    model_.reset();
    more_ = model_.hasCurent();
  }

  bool next() override { return more_; }

  void lead(std::vector<LoadedObject>* completed) override {
    size_t records = 0;
    do {
      LinkNodeHolder& object = *model_.getCurrent();
      currentObject_ = &object;
      size_t count = 0;
      walkRecords(object, [&count](LinkNodeHolder&) { ++count; });
      completed->push_back(LoadedObject{&object, ++index_, 0, count});
      records += count;
      more_ = model_.advance();
    } while (more_ && records < (1 << 16));
  }

 private:
  LNHHolder& model_;
  LinkNodeHolder*& currentObject_;
  size_t index_ = 0;
  bool more_;
};

}  // namespace

void Vandrel::loadFile(QString name) { readModel(name + QStringLiteral(".poly")); }

Mesh Vandrel::loadMesh(const QString& name) {
  loadFile(name);
  Mesh mesh = meshOf(*model);
  model = std::make_unique<LNHHolder>();
  currentObject = nullptr;
  return mesh;
}

// Reads the model file at `path` into a new model and leaves the cursor on its first object.
void Vandrel::readModel(const QString& path) {
  streamModel(path, nullptr, nullptr, FirstFault::model);
}

void Vandrel::streamModel(const QString& path, OutputFile* out, const ObjectFormat* format,
                          FirstFault first) {
  model = std::make_unique<LNHHolder>();
  currentObject = nullptr;
  loadObject = nullptr;
  loadedPath = path;
  ModelLoader loader(path, *model, loadObject);
  runPipeline(loader, out, format, first);
}

void Vandrel::streamFile(const QString& source, const QString& output, const ObjectFormat& format,
                         FirstFault first) {
  // The output is made first, so that its text can be written while the source is read; a
  // failure to make it is reported once the source has been read without fault, and, when the
  // model's faults come first, formatted without fault.
  std::optional<OutputFile> out;
  std::exception_ptr outputFailure;
  try {
    out.emplace(output + QStringLiteral(".poly"));
  } catch (const RunError&) {
    outputFailure = std::current_exception();
  }
  const bool formatting = out || first == FirstFault::model;
  streamModel(source + QStringLiteral(".poly"), out ? &*out : nullptr,
              formatting ? &format : nullptr, first);
  if (outputFailure) std::rethrow_exception(outputFailure);
  commitAndLetGo(*out);
}

void Vandrel::commitAndLetGo(OutputFile& out) {
  // Freeing millions of records takes a while: it is done while the file is put in place.
  std::unique_ptr<LNHHolder> spent = std::exchange(model, std::make_unique<LNHHolder>());
  currentObject = nullptr;
  inParallel([&out]() { out.commit(); }, [&spent]() { spent.reset(); });
}

void Vandrel::writeFile(QString name) {
  OutputFile out(name + QStringLiteral(".poly"));
  writeModel(out);
  out.commit();
}

void Vandrel::writeModel(OutputFile& out) {
  writeObjects(out, [](const LoadedObject* first, const LoadedObject* last, std::string* text) {
    for (; first != last; ++first) appendObject(*text, *first->object);
  });
}

void Vandrel::writeObjects(OutputFile& out, const ObjectFormat& format) {
  ModelInHand walk(*model, currentObject);
  runPipeline(walk, &out, &format);
  model->reset();
}
