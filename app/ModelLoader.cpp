#include "ModelLoader.h"

#include <cmath>
#include <exception>

#include "Failure.h"
#include "Quote.h"

namespace {
// Below this, a second thread costs more than it saves.
constexpr size_t parallelBytes = 1 << 16;
}  // namespace

ModelLoader::ModelLoader(const QString& path, LNHHolder& model, std::vector<long>& objectLines)
    : in_(path), where_(quotedIfNeeded(path) + u':'), model_(model), objectLines_(objectLines) {}

bool ModelLoader::next() {
  newest_ = 1 - newest_;
  const Block& before = blocks_[1 - newest_];
  Block& block = blocks_[newest_];
  block.pending = false;
  block.text = {};
  block.halves[0] = block.halves[1] = {};
  // A failure to read is thrown only after the lines before it have been added: a bad line
  // among them is the one to report.
  try {
    long linesRead = lineNumber_;
    if (before.pending) {
      linesRead +=
          static_cast<long>(before.parsed[0].parsed.size() + before.parsed[1].parsed.size());
    }
    block.pending = !atEnd_ && in_.nextBlock(&block.text, linesRead);
  } catch (const RunError&) {
    readFailure_ = std::current_exception();
  }
  if (block.pending) {
    // The halves end at a line feed; a small block is parsed whole on this thread.
    size_t middle = block.text.size();
    if (block.text.size() >= parallelBytes) {
      const size_t feed = block.text.find('\n', block.text.size() / 2);
      if (feed != std::string_view::npos) middle = feed + 1;
    }
    block.halves[0] = block.text.substr(0, middle);
    block.halves[1] = block.text.substr(middle);
  } else {
    atEnd_ = true;
  }
  // A step is due while a block is to be parsed or added, or the last object is open.
  return block.pending || before.pending || open_ != nullptr || readFailure_;
}

void ModelLoader::lead(std::vector<LoadedObject>* completed) {
  Block& before = blocks_[1 - newest_];
  if (before.pending) {
    add(before, completed);
    before.pending = false;
  }
  if (readFailure_) std::rethrow_exception(readFailure_);
  Block& block = blocks_[newest_];
  if (block.pending) {
    parseLines(block.halves[0], LineReader::longestLine, &block.parsed[0].parsed,
               &block.parsed[0].badField);
  } else if (atEnd_) {
    if (open_ != nullptr) complete(completed);
    open_ = nullptr;
    model_.reset();
  }
}

void ModelLoader::help() {
  Block& block = blocks_[newest_];
  if (block.pending) {
    parseLines(block.halves[1], LineReader::longestLine, &block.parsed[1].parsed,
               &block.parsed[1].badField);
  }
}

void ModelLoader::complete(std::vector<LoadedObject>* completed) {
  open_->reset();
  completed->push_back(openInfo_);
}

void ModelLoader::add(Block& block, std::vector<LoadedObject>* completed) {
  for (const Half& half : block.parsed) {
    for (const ParsedLine& line : half.parsed) {
      ++lineNumber_;
      switch (line.kind) {
        case ParsedLine::blank:
          continue;
        case ParsedLine::tooLong:
          lineError(QStringLiteral("line longer than 1 MiB"));
        case ParsedLine::newObject:
          if (open_ != nullptr) complete(completed);
          open_ = new LinkNodeHolder;
          model_.add(open_);
          objectLines_.push_back(lineNumber_);
          openInfo_ = LoadedObject{open_, objectLines_.size(), lineNumber_, 0};
          continue;
        default:
          break;
      }
      if (open_ == nullptr) lineError(QStringLiteral("record before the first \"newObject\" line"));
      if (line.kind == ParsedLine::tooFewFields) {
        lineError(QStringLiteral("expected at least three numbers, found %1").arg(line.field));
      }
      if (line.kind == ParsedLine::notANumber) {
        lineError(quotedField(half.badField) + QStringLiteral(" is not a number"));
      }
      if (!std::isfinite(line.xyz[0]) || !std::isfinite(line.xyz[1]) ||
          !std::isfinite(line.xyz[2])) {
        lineError(QStringLiteral("coordinate is not a finite number"));
      }
      open_->add(line.xyz[0], line.xyz[1], line.xyz[2], 1.0f);
      ++openInfo_.records;
    }
  }
}

void ModelLoader::lineError(const QString& what) const {
  throw RunError(where_ + QString::number(lineNumber_) + QStringLiteral(": ") + what);
}
