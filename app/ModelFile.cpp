// The model file reader and writer.

#include <QFile>
#include <QTextStream>

#include "Failure.h"
#include "ModelWalk.h"
#include "Numbers.h"
#include "OutputFile.h"
#include "Vandrel.h"

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Splits a record line at runs of blanks and tabs, up to `max` fields; returns how many it found.
int splitFields(QStringView line, QStringView* fields, int max) {
  int count = 0;
  qsizetype i = 0;
  while (count < max) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size()) break;
    const qsizetype start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    fields[count++] = line.mid(start, i - start);
  }
  return count;
}

bool isBlankLine(QStringView line) {
  for (QChar c : line) {
    if (!isBlank(c)) return false;
  }
  return true;
}

}  // namespace

void Vandrel::loadFile(QString name) { readModel(name + QStringLiteral(".poly")); }

void Vandrel::readTfile(QString name) {
  const QString path = name + QStringLiteral(".polyTemp");
  struct Remove {
    const QString& path;
    ~Remove() { QFile::remove(path); }
  } remove{path};
  readModel(path);
}

// Reads the model file at `path` into the (empty) model and leaves the cursor on its first
// object. Every record is loaded with w = 1; fields after the third are not read.
void Vandrel::readModel(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    throw RunError(QStringLiteral("cannot open '%1': %2").arg(path, file.errorString()));
  }
  QTextStream in(&file);
  auto lineError = [&path](long lineNumber, const QString& what) {
    return RunError(QStringLiteral("%1:%2: %3").arg(path).arg(lineNumber).arg(what));
  };
  model->reset();
  loadedPath = path;
  objectLines.clear();
  QString line;
  long lineNumber = 0;
  while (in.readLineInto(&line)) {
    ++lineNumber;
    if (line.contains(QLatin1String("newObject"))) {
      loadObject = new LinkNodeHolder;
      model->add(loadObject);
      objectLines.push_back(lineNumber);
      continue;
    }
    if (isBlankLine(line)) continue;
    if (loadObject == nullptr) {
      throw lineError(lineNumber, QStringLiteral("record before the first \"newObject\" line"));
    }
    QStringView fields[3];
    const int found = splitFields(line, fields, 3);
    if (found < 3) {
      throw lineError(lineNumber,
                      QStringLiteral("expected at least three numbers, found %1").arg(found));
    }
    float xyz[3];
    for (int i = 0; i < 3; ++i) {
      const std::optional<float> value = readNumber(fields[i]);
      if (!value) {
        throw lineError(lineNumber, QStringLiteral("'%1' is not a number").arg(fields[i]));
      }
      xyz[i] = *value;
    }
    loadObject->add(xyz[0], xyz[1], xyz[2], 1.0f);
  }
  if (in.status() != QTextStream::Ok || file.error() != QFileDevice::NoError) {
    throw RunError(QStringLiteral("cannot read '%1': %2").arg(path, file.errorString()));
  }
  model->reset();
}

void Vandrel::writeFile(QString name) {
  OutputFile out(name + QStringLiteral(".poly"));
  QTextStream& text = out.text();
  model->reset();
  walkObjects(*model, [&](LinkNodeHolder& object) {
    currentObject = &object;
    text << "newObject\n";
    walkRecords(object, [&](LinkNodeHolder& record) {
      writeRecord(text, record.getX(), record.getY(), record.getZ(), record.getW());
    });
  });
  out.commit();
}
