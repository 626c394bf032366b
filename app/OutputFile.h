#pragma once

#include <QSaveFile>
#include <QString>
#include <string>
#include <string_view>

// An output file written atomically: the text goes to a temporary file beside the target, which
// replaces the target only when commit() succeeds. An OutputFile destroyed without a successful
// commit() removes its temporary file and leaves any earlier file of that name as it was.
//
// Text is collected in a buffer of about a megabyte and written in chunks, so that memory stays
// small however large the file grows.
class OutputFile {
 public:
  // Throws a RunError when the temporary file cannot be created.
  explicit OutputFile(const QString& path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(std::string_view text) {
    if (text.size() >= chunk) return writeLarge(text);
    buffer_.append(text);
    if (buffer_.size() >= chunk) writeBuffer();
  }
  // As UTF-8.
  void writeText(const QString& text);
  // One record line "x y z w" in the model file number format.
  void writeRecord(double x, double y, double z, double w);
  // Checks every write and renames the file into place; throws a RunError on any failure.
  void commit();

 private:
  static constexpr size_t chunk = 1 << 20;

  void writeBuffer();
  void writeLarge(std::string_view text);
  void writeChecked(std::string_view text);
  [[noreturn]] void fail(int error = 0);

  QString path_;
  QSaveFile file_;
  std::string buffer_;
};
