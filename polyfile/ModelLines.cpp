#include "ModelLines.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "Failure.h"
#include "LineReader.h"
#include "OutputFile.h"

namespace {

bool isAscii(std::string_view text) {
  unsigned char any = 0;
  for (char c : text) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

// The line feeds in `text`: a loop the compiler turns into vector compares, without the
// population count, which the baseline x86-64 has only as a library call.
long countLines(std::string_view text) {
  long count = 0;
  for (const char c : text) count += c == '\n';
  return count;
}

// Whether a line of `block` may be longer than LineReader::longestLine: only when one of the
// aligned stretches of half that length holds no line feed, as any longer line covers one.
bool mayHoldLongLine(std::string_view block) {
  constexpr size_t half = LineReader::longestLine / 2;
  for (size_t at = 0; at + half <= block.size(); at += half) {
    if (std::memchr(block.data() + at, '\n', half) == nullptr) return true;
  }
  return false;
}

// Copies the lines of `block` to `out`, each ended by a line feed. A line that is not ASCII is
// decoded and encoded again, as a text stream does with malformed UTF-8. Stops before a line
// longer than LineReader::longestLine and returns its number in the block, from 0; else -1.
long copyLines(std::string_view block, OutputFile& out) {
  const bool ascii = isAscii(block);
  if (ascii && !mayHoldLongLine(block)) {
    out.write(block);
    if (block.back() != '\n') out.write("\n");
    return -1;
  }
  long number = 0;
  while (!block.empty()) {
    const size_t feed = block.find('\n');
    const std::string_view line = block.substr(0, feed);
    if (line.size() > LineReader::longestLine) return number;
    if (ascii || isAscii(line)) {
      out.write(line);
    } else {
      out.writeText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    }
    out.write("\n");
    if (feed == std::string_view::npos) break;
    block.remove_prefix(feed + 1);
    ++number;
  }
  return -1;
}

}  // namespace

QString appendModelLines(const QString& path, OutputFile& out) {
  std::optional<LineReader> in;
  try {
    in.emplace(path);
  } catch (const RunError& error) {
    return QString::fromStdString(error.what());
  }
  std::string block;
  long lines = 0;  // copied so far
  for (;;) {
    bool tooLong = false;
    bool more;
    try {
      more = in->nextBlock(&block, &tooLong);
    } catch (const RunError& error) {
      return QString::fromStdString(error.what());
    }
    long longLine = -1;
    if (more) {
      longLine = copyLines(block, out);
      if (longLine < 0) lines += countLines(block) + (block.back() == '\n' ? 0 : 1);
    }
    if (tooLong || longLine >= 0) {
      return in->longLineMessage(lines + (longLine >= 0 ? longLine : 0) + 1);
    }
    if (!more) return QString();
  }
}
