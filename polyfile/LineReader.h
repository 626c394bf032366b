#pragma once

#include <QFile>
#include <QString>
#include <memory>
#include <string>
#include <string_view>

// Reads a text file line by line, as QTextStream::readLine reads a file opened in text mode:
// lines end at line feeds, every carriage return is dropped, a last line without a line feed is
// still a line, and a UTF-8 byte order mark at the start is skipped. Lines are UTF-8 bytes; the
// file is read in chunks. A line may be at most a mebibyte long, so that memory stays bounded
// whatever the input (/dev/zero has no line feed).
class LineReader {
 public:
  static constexpr size_t longestLine = 1 << 20;

  // Throws a RunError "cannot open 'PATH': REASON".
  explicit LineReader(const QString& path);

  // The next line, valid until the next call; false at the end. Throws a RunError when the file
  // cannot be read or the line is longer than longestLine.
  bool next(std::string_view* line);
  // The number of the line next() returned last, from 1.
  long lineNumber() const { return lineNumber_; }
  // Instead of next(): the next run of whole lines, about a megabyte, into `block`, each ended
  // by its line feed but the last line of the file, which may lack one. False at the end of the
  // file, and when the next line is longer than longestLine: *tooLong then says so. The caller
  // checks the length of the lines within a block.
  bool nextBlock(std::string* block, bool* tooLong);
  // "PATH:LINE: line longer than 1 MiB", for a line of this file.
  QString longLineMessage(long line) const;

 private:
  bool fill();
  [[noreturn]] void tooLong(long line) const;

  QString path_;
  QFile file_;
  std::unique_ptr<char[]> buffer_;  // not initialised: every byte used is read first
  size_t capacity_ = 0;
  size_t size_ = 0;
  size_t start_ = 0;  // first byte of the buffer not yet returned
  bool atEnd_ = false;
  bool lastReadFull_ = false;  // the last read got all it asked for
  std::string clean_;          // a line with its carriage returns removed
  long lineNumber_ = 0;
};
