#include "ModelLoader.h"

#include <cmath>

#include "Failure.h"
#include "Quote.h"

namespace {
// Below this, a second thread costs more than it saves.
constexpr size_t parallelBytes = 1 << 16;
}  // namespace

LinkNodeHolder* ModelTarget::open() {
  open_ = new LinkNodeHolder;
  model_.add(open_);
  return open_;
}

ModelLoader::ModelLoader(const QString& path, LoadTarget& target)
    : in_(path), where_(quotedIfNeeded(path) + u':'), target_(target) {}

void ModelLoader::read(Block& block, Ahead& ahead) {
  block.read = false;
  if (ahead.end) return;
  try {
    block.read = in_.nextBlock(&block.text, &ahead.tooLong);
  } catch (const RunError&) {
    ahead.failure = std::current_exception();
  }
  ahead.end = !block.read;
}

bool ModelLoader::next() {
  Block& older = blocks_[newest_];
  olderParsed_ = older.read;
  older.read = false;
  newest_ = 1 - newest_;
  Block& block = blocks_[newest_];
  // The block was read ahead in the step before, but the first, which is read here.
  if (olderParsed_) {
    atEnd_ = ahead_;
  } else if (!atEnd_.end) {
    read(block, atEnd_);
  }
  ahead_ = atEnd_;
  if (block.read) {
    // The halves end at a line feed; a small block is parsed whole on this thread.
    const std::string_view text = block.text;
    size_t middle = text.size();
    if (text.size() >= parallelBytes) {
      const size_t feed = text.find('\n', text.size() / 2);
      if (feed != std::string_view::npos) middle = feed + 1;
    }
    block.halves[0].text = text.substr(0, middle);
    block.halves[1].text = text.substr(middle);
  }
  // A step is due while a block is to be parsed or added, the last object is open, or a
  // failure is to be reported.
  return block.read || olderParsed_ || open_ || atEnd_.tooLong || atEnd_.failure;
}

void ModelLoader::lead(std::vector<LoadedObject>* completed) {
  if (olderParsed_) add(blocks_[1 - newest_], completed);
  Block& block = blocks_[newest_];
  if (block.read) {
    Half& half = block.halves[0];
    parseLines(half.text, LineReader::longestLine, &half.parsed, &half.badField);
    return;
  }
  // The path, read only, is the one part of the reader that the helper does not change.
  if (atEnd_.tooLong) throw RunError(in_.longLineMessage(lineNumber_ + 1));
  if (atEnd_.failure) std::rethrow_exception(atEnd_.failure);
  if (open_) complete(completed);
  open_ = false;
  target_.finish();
}

void ModelLoader::help() {
  Block& block = blocks_[newest_];
  if (!block.read) return;
  Half& half = block.halves[1];
  parseLines(half.text, LineReader::longestLine, &half.parsed, &half.badField);
  // The other block's text has been parsed in the step before.
  read(blocks_[1 - newest_], ahead_);
}

bool ModelLoader::helpIsLarge() const {
  const Block& block = blocks_[newest_];
  return block.read && !block.halves[1].text.empty();
}

void ModelLoader::release(const std::vector<LoadedObject>& objects) {
  for (const LoadedObject& object : objects) {
    if (object.object != nullptr) target_.release(object.object);
  }
}

void ModelLoader::complete(std::vector<LoadedObject>* completed) {
  if (openInfo_.object != nullptr) openInfo_.object->reset();
  completed->push_back(openInfo_);
}

void ModelLoader::add(const Block& block, std::vector<LoadedObject>* completed) {
  for (const Half& half : block.halves) {
    for (const ParsedLine& line : half.parsed) {
      ++lineNumber_;
      switch (line.kind) {
        case ParsedLine::blank:
          continue;
        case ParsedLine::tooLong:
          throw RunError(in_.longLineMessage(lineNumber_));
        case ParsedLine::newObject:
          if (open_) complete(completed);
          open_ = true;
          openInfo_ = LoadedObject{target_.open(), ++objects_, lineNumber_, 0};
          continue;
        default:
          break;
      }
      if (!open_)
        lineError(lineNumber_, QStringLiteral("record before the first \"newObject\" line"));
      if (line.kind == ParsedLine::tooFewFields) {
        lineError(lineNumber_,
                  QStringLiteral("expected at least three numbers, found %1").arg(line.field));
      }
      if (line.kind == ParsedLine::notANumber) {
        lineError(lineNumber_, quotedField(half.badField) + QStringLiteral(" is not a number"));
      }
      if (!std::isfinite(line.xyz[0]) || !std::isfinite(line.xyz[1]) ||
          !std::isfinite(line.xyz[2])) {
        lineError(lineNumber_, QStringLiteral("coordinate is not a finite number"));
      }
      target_.record(line.xyz[0], line.xyz[1], line.xyz[2]);
      ++openInfo_.records;
    }
  }
}

void ModelLoader::lineError(long line, const QString& what) const {
  throw RunError(where_ + QString::number(line) + QStringLiteral(": ") + what);
}
