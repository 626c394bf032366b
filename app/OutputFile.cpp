#include "OutputFile.h"

#include <cerrno>
#include <cstring>

#include "Failure.h"
#include "ModelText.h"
#include "Numbers.h"

OutputFile::OutputFile(const QString& path) : path_(path), file_(path) {
  if (!file_.open(QIODevice::WriteOnly)) fail();
  buffer_.reserve(chunk + 4 * maxNumberLength + 8);
}

void OutputFile::writeText(const QString& text) { write(std::string_view(text.toUtf8())); }

void OutputFile::writeRecord(double x, double y, double z, double w) {
  appendRecord(buffer_, x, y, z, w);
  if (buffer_.size() >= chunk) writeBuffer();
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
  const auto size = static_cast<qint64>(text.size());
  errno = 0;
  if (file_.write(text.data(), size) != size) fail(errno);
}

void OutputFile::commit() {
  // QSaveFile::commit() has been seen to succeed after writes that failed, so every write and
  // the flush are checked first.
  writeBuffer();
  if (!file_.flush() || file_.error() != QFileDevice::NoError) fail();
  if (!file_.commit()) fail();
}

void OutputFile::fail(int error) {
  // A short write leaves no error in the file object; the system's reason is in errno then.
  QString reason = file_.errorString();
  if (file_.error() == QFileDevice::NoError) {
    reason =
        error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("write failed");
  }
  file_.cancelWriting();
  throw RunError(QStringLiteral("cannot write '%1': %2").arg(path_, reason));
}
