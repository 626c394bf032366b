#include "OutputFile.h"

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
  const auto size = static_cast<qint64>(text.size());
  if (file_.write(text.data(), size) != size) fail();
}

void OutputFile::writeBuffer() {
  const auto size = static_cast<qint64>(buffer_.size());
  if (file_.write(buffer_.data(), size) != size) fail();
  buffer_.clear();
}

void OutputFile::commit() {
  // QSaveFile::commit() has been seen to succeed after writes that failed, so every write and
  // the flush are checked first.
  writeBuffer();
  if (!file_.flush() || file_.error() != QFileDevice::NoError) fail();
  if (!file_.commit()) fail();
}

void OutputFile::fail() {
  QString reason = file_.errorString();
  if (file_.error() == QFileDevice::NoError) reason = QStringLiteral("write failed");
  file_.cancelWriting();
  throw RunError(QStringLiteral("cannot write '%1': %2").arg(path_, reason));
}
