#include "LineReader.h"

#include <algorithm>
#include <cstring>

#include "Failure.h"
#include "Quote.h"

namespace {
constexpr size_t chunk = 1 << 20;
}

LineReader::LineReader(const QString& path) : path_(path), file_(path) {
  if (!file_.open(QIODevice::ReadOnly)) {
    throw RunError(QStringLiteral("cannot open ") + quoted(path_) + QStringLiteral(": ") +
                   file_.errorString());
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

bool LineReader::nextBlock(std::string_view* block, long linesBefore) {
  size_t end;
  for (;;) {
    const char* unread = buffer_.get() + start_;
    const void* lastFeed = memrchr(unread, '\n', size_ - start_);
    if (lastFeed != nullptr) {
      end = static_cast<size_t>(static_cast<const char*>(lastFeed) - buffer_.get()) + 1;
      break;
    }
    if (size_ - start_ > longestLine) tooLong(linesBefore + 1);
    if (!fill()) {
      end = size_;
      break;
    }
  }
  char* first = buffer_.get() + start_;
  char* last = buffer_.get() + end;
  start_ = end;
  if (std::memchr(first, '\r', static_cast<size_t>(last - first)) != nullptr) {
    last = std::remove(first, last, '\r');
  }
  if (first == last) return false;
  *block = std::string_view(first, static_cast<size_t>(last - first));
  return true;
}

void LineReader::tooLong(long line) const {
  throw RunError(quotedIfNeeded(path_) + u':' + QString::number(line) +
                 QStringLiteral(": line longer than 1 MiB"));
}
