#pragma once

#include <QSaveFile>
#include <QString>
#include <QTextStream>

// An output file written atomically: the text goes to a temporary file beside the target, which
// replaces the target only when commit() succeeds. An OutputFile destroyed without a successful
// commit() removes its temporary file and leaves any earlier file of that name as it was.
class OutputFile {
 public:
  // Throws a RunError when the temporary file cannot be created.
  explicit OutputFile(const QString& path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  QTextStream& text() { return stream_; }
  // Checks every write and renames the file into place; throws a RunError on any failure.
  void commit();

 private:
  [[noreturn]] void fail();

  QString path_;
  QSaveFile file_;
  QTextStream stream_;
};
