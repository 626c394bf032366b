#include "OutputFile.h"

#include "Failure.h"

OutputFile::OutputFile(const QString& path) : path_(path), file_(path) {
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Text)) fail();
  stream_.setDevice(&file_);
}

void OutputFile::commit() {
  // QSaveFile::commit() has been seen to succeed after writes that failed, so every layer is
  // flushed and checked first.
  stream_.flush();
  if (stream_.status() != QTextStream::Ok || !file_.flush() ||
      file_.error() != QFileDevice::NoError) {
    fail();
  }
  if (!file_.commit()) fail();
}

void OutputFile::fail() {
  QString reason = file_.errorString();
  if (file_.error() == QFileDevice::NoError) reason = QStringLiteral("write failed");
  file_.cancelWriting();
  throw RunError(QStringLiteral("cannot write '%1': %2").arg(path_, reason));
}
