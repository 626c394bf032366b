// The model file reader and writer.

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "Failure.h"
#include "LineReader.h"
#include "ModelMesh.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "Numbers.h"
#include "OutputFile.h"
#include "Parallel.h"
#include "Quote.h"
#include "Vandrel.h"

namespace {

// The lines of a block of whole lines.
void splitLines(std::string_view block, std::vector<std::string_view>* lines) {
  lines->clear();
  while (!block.empty()) {
    const size_t feed = block.find('\n');
    lines->push_back(block.substr(0, feed));
    if (feed == std::string_view::npos) break;
    block.remove_prefix(feed + 1);
  }
}

// Below this, a second thread costs more than it saves.
constexpr size_t parallelBytes = 1 << 16;
constexpr size_t parallelRecords = 4096;

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
// Every record is loaded with w = 1; fields after the third are not read.
void Vandrel::readModel(const QString& path) {
  model = std::make_unique<LNHHolder>();
  currentObject = nullptr;
  loadObject = nullptr;
  objectLines.clear();
  loadedPath = path;
  LineReader in(path);
  const QString where = quotedIfNeeded(path) + u':';
  auto lineError = [&where](long lineNumber, const QString& what) {
    return RunError(where + QString::number(lineNumber) + QStringLiteral(": ") + what);
  };
  long lineNumber = 0;
  std::string_view block;
  struct Half {
    std::vector<std::string_view> lines;
    std::vector<ParsedLine> parsed;

    void parse(std::string_view text) {
      splitLines(text, &lines);
      parsed.resize(lines.size());
      for (size_t i = 0; i < lines.size(); ++i) parsed[i] = parseLine(lines[i]);
    }
  } halves[2];
  while (in.nextBlock(&block, lineNumber)) {
    // The two halves of a block are parsed on two threads, then added to the model in order.
    if (block.size() < parallelBytes) {
      halves[0].parse(block);
      halves[1].parse({});
    } else {
      const size_t feed = block.find('\n', block.size() / 2);
      const size_t middle = feed == std::string_view::npos ? block.size() : feed + 1;
      inParallel([&]() { halves[0].parse(block.substr(0, middle)); },
                 [&]() { halves[1].parse(block.substr(middle)); });
    }
    for (const Half& half : halves) {
      for (size_t i = 0; i < half.lines.size(); ++i) {
        ++lineNumber;
        const ParsedLine& line = half.parsed[i];
        if (half.lines[i].size() > LineReader::longestLine) {
          throw lineError(lineNumber, QStringLiteral("line longer than 1 MiB"));
        }
        switch (line.kind) {
          case ParsedLine::blank:
            continue;
          case ParsedLine::newObject:
            loadObject = new LinkNodeHolder;
            model->add(loadObject);
            objectLines.push_back(lineNumber);
            continue;
          default:
            break;
        }
        if (loadObject == nullptr) {
          throw lineError(lineNumber, QStringLiteral("record before the first \"newObject\" line"));
        }
        if (line.kind == ParsedLine::tooFewFields) {
          throw lineError(
              lineNumber,
              QStringLiteral("expected at least three numbers, found %1").arg(line.field));
        }
        if (line.kind == ParsedLine::notANumber) {
          std::string_view fields[3];
          splitFields(half.lines[i], fields, 3);
          throw lineError(lineNumber,
                          quotedField(fields[line.field]) + QStringLiteral(" is not a number"));
        }
        if (!std::isfinite(line.xyz[0]) || !std::isfinite(line.xyz[1]) ||
            !std::isfinite(line.xyz[2])) {
          throw lineError(lineNumber, QStringLiteral("coordinate is not a finite number"));
        }
        loadObject->add(line.xyz[0], line.xyz[1], line.xyz[2], 1.0f);
      }
    }
  }
  model->reset();
}

void Vandrel::writeFile(QString name) {
  OutputFile out(name + QStringLiteral(".poly"));
  writeModel(out);
  out.commit();
}

void Vandrel::writeModel(OutputFile& out) {
  // Objects are formatted in batches of about 64 Ki records: this thread formats the first 60
  // percent of a batch while a second one writes out the batch before and then formats the
  // rest, so that the two threads are about equally busy.
  struct Batch {
    std::vector<LinkNodeHolder*> objects;
    std::vector<size_t> recordsBefore;  // records of the batch before each object
    size_t records = 0;
    std::string text[2];
  } batches[2];
  Batch* current = &batches[0];
  Batch* previous = &batches[1];
  auto writeOut = [&](Batch& batch) {
    out.write(batch.text[0]);
    out.write(batch.text[1]);
    batch.text[0].clear();
    batch.text[1].clear();
  };
  auto format = [&](Batch& batch, int part, size_t first, size_t last) {
    LinkNodeHolder* const* objects = batch.objects.data();
    appendObjects(batch.text[part], objects + first, objects + last);
  };
  auto finishBatch = [&]() {
    Batch& batch = *current;
    const size_t count = batch.objects.size();
    if (batch.records < parallelRecords) {
      writeOut(*previous);
      format(batch, 0, 0, count);
    } else {
      const size_t middle =
          static_cast<size_t>(std::lower_bound(batch.recordsBefore.begin(),
                                               batch.recordsBefore.end(), batch.records * 3 / 5) -
                              batch.recordsBefore.begin());
      inParallel([&]() { format(batch, 0, 0, middle); },
                 [&]() {
                   writeOut(*previous);
                   format(batch, 1, middle, count);
                 });
    }
    std::swap(current, previous);
    current->objects.clear();
    current->recordsBefore.clear();
    current->records = 0;
  };
  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    currentObject = &object;
    current->objects.push_back(&object);
    current->recordsBefore.push_back(current->records);
    walkRecords(object, [&](LinkNodeHolder&) { ++current->records; });
    if (current->records >= 1 << 16) finishBatch();
  });
  finishBatch();
  writeOut(*previous);
}
