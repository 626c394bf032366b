#pragma once

// What the unit tests share: reading a file whole and running the program's driver on a command
// line, as main does but with failures thrown to the test.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <vector>

#include "Vandrel.h"

// The bytes of the file at `path`, or none where it cannot be read.
inline QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs "vandrel WORDS...": the command word and its arguments.
inline void run(std::vector<QByteArray> words) {
  words.insert(words.begin(), "vandrel");
  std::vector<char*> argv;
  for (QByteArray& word : words) argv.push_back(word.data());
  Vandrel command(static_cast<int>(argv.size()), argv.data());
}
