#pragma once

#include <sys/types.h>
#include <QByteArray>
#include <QString>
#include <memory>
#include <string>
#include <string_view>

class BackgroundSync;

// An output file written atomically. The text goes to a new file without a name in the target's
// folder (or, where the file system cannot make one, to a file with a random name), which
// replaces the target only when commit() succeeds; an OutputFile destroyed before that removes
// what it wrote and leaves any earlier file of that name as it was.
//
// Only regular files are replaced: a name that is, or links to, a folder, a device, a FIFO or a
// socket is refused. A link to a regular file is followed, so the target is replaced and the
// link kept. A replaced file keeps its mode, and its owner and group where the process may set
// them.
//
// Small pieces of text are collected in a buffer of about a megabyte, larger ones written as they
// are, so that memory stays small however large the file grows. The data is synced as the file
// grows (BackgroundSync.h) and once more before the file is put in place.
class OutputFile {
 public:
  // Throws a RunError when the name is refused or the file cannot be made.
  explicit OutputFile(const QString& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(std::string_view text) {
    if (text.size() >= large) return writeLarge(text);
    buffer_.append(text);
    if (buffer_.size() >= chunk) writeBuffer();
  }
  // As UTF-8.
  void writeText(const QString& text);
  // Writes out the rest and puts the file in place; throws a RunError on any failure.
  void commit();
  // Commits two files so that either both replace their targets or neither does, also when a
  // signal comes, and so that two runs writing the same pair leave one run's pair.
  static void commitTogether(OutputFile& first, OutputFile& second);

  // The folder the file will be in, for a look at its free space.
  const QByteArray& folder() const { return folder_; }

 private:
  static constexpr size_t chunk = 1 << 20;
  static constexpr size_t large = 1 << 16;  // written as it is, not through the buffer

  void writeBuffer();
  void writeLarge(std::string_view text);
  void writeChecked(std::string_view text);
  bool linkAnonymousFile();
  // Everything but the final rename: the file is complete under its temporary name.
  void prepare();
  // Closes and removes what was written; the object is then spent.
  void discard();
  [[noreturn]] void fail(int error);
  // The scratch name, also for the interrupt handler to remove (Interrupt.h).
  void nameScratch(const QByteArray& name);
  void forgetScratch();

  QString path_;        // as named, for messages
  QByteArray target_;   // the file that is replaced, links followed
  QByteArray folder_;   // its folder
  QByteArray scratch_;  // the written file's temporary name, while it has one
  int scratchSlot_ = -1;
  int fd_ = -1;
  off_t written_ = 0;  // bytes in the file
  off_t flushed_ = 0;  // of which the disk has been asked to write
  std::unique_ptr<BackgroundSync> sync_;
  std::string buffer_;
};
