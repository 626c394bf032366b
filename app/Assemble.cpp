// assemble: joins model files by copying their lines, as text, into one new model file.

#include <QFile>
#include <QTextStream>

#include "Failure.h"
#include "OutputFile.h"
#include "Vandrel.h"

// An input that cannot be read is reported and passed over, and the command then fails after
// writing the output, as cat does. Inputs are read before the output replaces its file, so an
// input named like the output contributes that file's earlier content.
void Vandrel::assemble(int argc, char** argv) {
  OutputFile out(QString::fromLocal8Bit(argv[argc - 1]) + QStringLiteral(".poly"));
  QTextStream& text = out.text();
  bool allRead = true;
  QString line;
  for (int i = 2; i < argc - 1; ++i) {
    const QString path = QString::fromLocal8Bit(argv[i]) + QStringLiteral(".poly");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
      report(QStringLiteral("cannot open '%1': %2").arg(path, file.errorString()));
      allRead = false;
      continue;
    }
    QTextStream in(&file);
    while (in.readLineInto(&line)) text << line << '\n';
    if (in.status() != QTextStream::Ok || file.error() != QFileDevice::NoError) {
      report(QStringLiteral("cannot read '%1': %2").arg(path, file.errorString()));
      allRead = false;
    }
  }
  out.commit();
  if (!allRead) throw RunError(QString());
}
