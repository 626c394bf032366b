#include "OutputFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstring>

#include "BackgroundSync.h"
#include "Failure.h"
#include "Interrupt.h"
#include "Quote.h"

namespace {

QByteArray folderOf(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  if (slash < 0) return QByteArrayLiteral(".");
  if (slash == 0) return QByteArrayLiteral("/");
  return path.left(slash);
}

// The file a name stands for: links followed, also a last one that points nowhere yet (the
// file it names is made). Errors are left to the calls that use the name.
QByteArray followLinks(QByteArray path) {
  for (int hops = 0; hops < 40; ++hops) {
    char target[PATH_MAX];
    const ssize_t length = readlink(path.constData(), target, sizeof target);
    if (length < 0 || size_t(length) == sizeof target) return path;
    const QByteArray link(target, qsizetype(length));
    path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
  }
  return path;
}

// A name in `folder` that no one can guess: ".vandrel-" and 16 random letters and digits.
QByteArray randomName(const QByteArray& folder) {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char random[16];
  size_t got = 0;
  while (got < sizeof random) {
    const ssize_t n = getrandom(random + got, sizeof random - got, 0);
    if (n < 0 && errno != EINTR) throw RunError(QStringLiteral("no random numbers"));
    if (n > 0) got += size_t(n);
  }
  QByteArray name = folder + "/.vandrel-";
  for (unsigned char r : random) name += letters[r % 36];
  return name;
}

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Files put in place together are put in place by one run at a time: another run's pair of the
// same names waits, so that the pair that stays is one run's. The lock is on the folders, taken
// in one order, and it ends with the process however that ends.
class FolderLocks {
 public:
  FolderLocks(QByteArray first, QByteArray second) {
    if (second < first) std::swap(first, second);
    lock(first);
    if (second != first) lock(second);
  }
  ~FolderLocks() {
    for (int fd : fds_) {
      if (fd >= 0) ::close(fd);
    }
  }
  FolderLocks(const FolderLocks&) = delete;
  FolderLocks& operator=(const FolderLocks&) = delete;

 private:
  void lock(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the renames will say what is wrong with the folder
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    fds_[fds_[0] < 0 ? 0 : 1] = fd;
  }
  int fds_[2] = {-1, -1};
};

}  // namespace

OutputFile::OutputFile(const QString& path) : path_(path) {
  target_ = followLinks(QFile::encodeName(path));
  folder_ = folderOf(target_);
  struct stat existing;
  const bool exists = ::stat(target_.constData(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    throw RunError(quoted(path_) + QStringLiteral(": not a regular file"));
  }
  fd_ = ::open(folder_.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // No unnamed files here: a new file with a random name, which commit() renames.
    for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
      const QByteArray name = randomName(folder_);
      const HeldInterrupts held;
      fd_ = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
      if (fd_ >= 0) nameScratch(name);
      if (fd_ < 0 && errno != EEXIST) break;
    }
  }
  if (fd_ < 0) fail(errno);
  if (exists) {
    // Owner first: changing it may clear the set-user-ID and set-group-ID bits.
    if (fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
      [[maybe_unused]] const int ignored = fchown(fd_, uid_t(-1), existing.st_gid);
    }
    if (fchmod(fd_, existing.st_mode & 07777) != 0) {
      const int error = errno;
      discard();
      fail(error);
    }
  }
  buffer_.reserve(chunk + large);  // write() appends less than `large` before it flushes
  sync_ = std::make_unique<BackgroundSync>(fd_);
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
  sync_.reset();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  const HeldInterrupts held;
  if (!scratch_.isEmpty()) ::unlink(scratch_.constData());
  forgetScratch();
}

void OutputFile::nameScratch(const QByteArray& name) {
  scratch_ = name;
  scratchSlot_ = keepScratchName(name.constData());
}

void OutputFile::forgetScratch() {
  dropScratchName(scratchSlot_);
  scratchSlot_ = -1;
  scratch_.clear();
}

void OutputFile::writeText(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  write(std::string_view(bytes.constData(), size_t(bytes.size())));
}

void OutputFile::writeLarge(std::string_view text) {
  writeBuffer();
  writeChecked(text);
}

void OutputFile::writeBuffer() {
  writeChecked(buffer_);
  buffer_.clear();
}

void OutputFile::writeChecked(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd_, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    text.remove_prefix(size_t(written));
    written_ += static_cast<off_t>(written);
  }
  // The disk is set to work on what has been written so far, so that the sync before the
  // file is put in place finds little left to do. Where that cannot be done, the sync does it.
#ifdef SYNC_FILE_RANGE_WRITE
  if (written_ - flushed_ >= static_cast<off_t>(chunk)) {
    ::sync_file_range(fd_, flushed_, written_ - flushed_, SYNC_FILE_RANGE_WRITE);
    flushed_ = written_;
  }
#endif
  sync_->grown(written_);
}

// Gives the unnamed file a random name in its folder, to be renamed onto the target.
bool OutputFile::linkAnonymousFile() {
  const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QByteArray name = randomName(folder_);
    const HeldInterrupts held;
    if (linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
      nameScratch(name);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

void OutputFile::prepare() {
  if (fd_ < 0) return;
  writeBuffer();
  const int early = sync_->stop();
  if (early != 0) fail(early);
  if (fdatasync(fd_) != 0 && errno != EINVAL) fail(errno);
  if (scratch_.isEmpty() && !linkAnonymousFile()) fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail(errno);
}

void OutputFile::commit() {
  prepare();
  const HeldInterrupts held;
  if (::rename(scratch_.constData(), target_.constData()) != 0) fail(errno);
  forgetScratch();
}

void OutputFile::commitTogether(OutputFile& first, OutputFile& second) {
  first.prepare();
  second.prepare();
  const FolderLocks locks(first.folder_, second.folder_);
  // From here to the end both files are put in place, or neither, whatever signal comes.
  const HeldInterrupts held;
  // The first target's earlier file is kept under a second name until the second is in place.
  QByteArray backup;
  if (::access(first.target_.constData(), F_OK) == 0) {
    for (int attempt = 0; attempt < 100 && backup.isEmpty(); ++attempt) {
      const QByteArray name = randomName(first.folder_);
      if (::link(first.target_.constData(), name.constData()) == 0) {
        backup = name;
      } else if (errno != EEXIST) {
        first.fail(errno);
      }
    }
    if (backup.isEmpty()) first.fail(EEXIST);
  }
  try {
    first.commit();
    second.commit();
  } catch (...) {
    if (first.scratch_.isEmpty()) {  // the first is in place: put back what was there
      if (backup.isEmpty()) {
        ::unlink(first.target_.constData());
      } else {
        ::rename(backup.constData(), first.target_.constData());
        backup.clear();
      }
    }
    if (!backup.isEmpty()) ::unlink(backup.constData());
    throw;
  }
  if (!backup.isEmpty()) ::unlink(backup.constData());
}

void OutputFile::fail(int error) {
  throw RunError(QStringLiteral("cannot write ") + quoted(path_) + QStringLiteral(": ") +
                 reason(error));
}
