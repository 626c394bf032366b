#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

// A private temporary folder for the whole fuzzing run, and the fuzzed bytes as a file in it.
inline const QTemporaryDir& fuzzFolder() {
  static QTemporaryDir folder;
  if (!folder.isValid()) std::abort();
  return folder;
}

inline QString fuzzPath(const char* name) {
  return fuzzFolder().filePath(QString::fromLatin1(name));
}

inline void writeFuzzFile(const char* name, const uint8_t* data, size_t size) {
  QFile file(fuzzPath(name));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
  if (file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
      static_cast<qint64>(size)) {
    std::abort();
  }
}

inline QByteArray readFuzzFile(const char* name) {
  QFile file(fuzzPath(name));
  if (!file.open(QIODevice::ReadOnly)) std::abort();
  return file.readAll();
}
