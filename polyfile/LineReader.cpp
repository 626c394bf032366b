#include "LineReader.h"

#include <algorithm>
#include <cstring>

#include "Failure.h"
#include "Quote.h"

namespace {
constexpr size_t chunk = 1 << 20;
constexpr size_t smallRead = 1 << 12;
}  // namespace

LineReader::LineReader(const QString& path) : path_(path), file_(path) {
  if (!file_.open(QIODevice::ReadOnly)) {
    // A name typed with its suffix gets a second one: say so.
    const QString hint = path_.endsWith(QLatin1String(".poly.poly")) && !file_.exists()
                             ? QStringLiteral(" (the .poly suffix is added to names)")
                             : QString();
    throw RunError(QStringLiteral("cannot open ") + quoted(path_) + QStringLiteral(": ") +
                   file_.errorString() + hint);
  }
  fill();
  if (size_ >= 3 && std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0) start_ = 3;
}

// Appends the next chunk of the file to the unread rest of the buffer.
bool LineReader::fill() {
  if (atEnd_) return false;
  const size_t kept = size_ - start_;
  if (kept + chunk > capacity_) {
    capacity_ = std::max(kept + chunk, 2 * capacity_);  // doubling: a line may be very long
    std::unique_ptr<char[]> grown(new char[capacity_]);
    if (kept > 0) std::memcpy(grown.get(), buffer_.get() + start_, kept);
    buffer_ = std::move(grown);
  } else {
    std::memmove(buffer_.get(), buffer_.get() + start_, kept);
  }
  start_ = 0;
  size_ = kept;
  const qint64 got = file_.read(buffer_.get() + kept, static_cast<qint64>(chunk));
  if (got < 0) {
    throw RunError(QStringLiteral("cannot read ") + quoted(path_) + QStringLiteral(": ") +
                   file_.errorString());
  }
  size_ = kept + static_cast<size_t>(got);
  if (got == 0) atEnd_ = true;
  lastReadFull_ = static_cast<size_t>(got) == chunk;
  return got > 0;
}

bool LineReader::next(std::string_view* line) {
  size_t end;
  size_t searched = start_;
  for (;;) {
    const char* found =
        static_cast<const char*>(std::memchr(buffer_.get() + searched, '\n', size_ - searched));
    if (found != nullptr) {
      end = static_cast<size_t>(found - buffer_.get());
      break;
    }
    if (size_ - start_ > longestLine) tooLong(lineNumber_ + 1);
    searched = size_ - start_;
    if (!fill()) {
      end = size_;
      break;
    }
  }
  if (end - start_ > longestLine) tooLong(lineNumber_ + 1);
  std::string_view text(buffer_.get() + start_, end - start_);
  const bool lastLine = end == size_;
  start_ = lastLine ? end : end + 1;
  if (text.find('\r') != std::string_view::npos) {
    clean_.assign(text);
    clean_.erase(std::remove(clean_.begin(), clean_.end(), '\r'), clean_.end());
    text = clean_;
  }
  if (lastLine && text.empty()) return false;
  ++lineNumber_;
  *line = text;
  return true;
}

bool LineReader::nextBlock(std::string* block, bool* tooLong) {
  *tooLong = false;
  // First what the buffer holds unread: the first chunk, or the end of the last block's chunk.
  block->assign(buffer_.get() + start_, size_ - start_);
  start_ = size_ = 0;
  size_t searched = 0;
  size_t end;
  for (;;) {
    if (block->size() >= chunk || atEnd_) {
      const void* lastFeed = memrchr(block->data() + searched, '\n', block->size() - searched);
      if (lastFeed != nullptr) {
        end = static_cast<size_t>(static_cast<const char*>(lastFeed) - block->data()) + 1;
        break;
      }
      if (block->size() > longestLine) {
        *tooLong = true;
        return false;
      }
      if (atEnd_) {
        end = block->size();
        break;
      }
      searched = block->size();
    }
    // The room is cleared before it is read into: a whole chunk only while the reads fill it,
    // so that a small file costs little.
    const size_t room = lastReadFull_ ? chunk : smallRead;
    const size_t before = block->size();
    block->resize(before + room);
    const qint64 got = file_.read(block->data() + before, static_cast<qint64>(room));
    if (got < 0) {
      throw RunError(QStringLiteral("cannot read ") + quoted(path_) + QStringLiteral(": ") +
                     file_.errorString());
    }
    block->resize(before + static_cast<size_t>(got));
    if (got == 0) atEnd_ = true;
    lastReadFull_ = static_cast<size_t>(got) == room;
  }
  // The rest, part of a line, is kept for the next block.
  const size_t rest = block->size() - end;
  if (rest > capacity_ || capacity_ > longestLine / 16) {  // the first chunk is let go
    capacity_ = std::max(rest, longestLine / 16);
    buffer_.reset(new char[capacity_]);
  }
  std::memcpy(buffer_.get(), block->data() + end, rest);
  size_ = rest;
  block->resize(end);
  if (block->find('\r') != std::string::npos) {
    block->erase(std::remove(block->begin(), block->end(), '\r'), block->end());
  }
  return !block->empty();
}

QString LineReader::longLineMessage(long line) const {
  return quotedIfNeeded(path_) + u':' + QString::number(line) +
         QStringLiteral(": line longer than 1 MiB");
}

void LineReader::tooLong(long line) const { throw RunError(longLineMessage(line)); }
