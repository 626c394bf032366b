#include "Vandrel.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "Failure.h"

namespace {

struct Command {
  const char* word;
  int minArgc;  // argc needed, the program and the command word included
  const char* arguments;
  const char* summary;
  void (Vandrel::*run)(int argc, char** argv);
};

// Matched in this order, exactly and case-sensitively.
const Command commands[] = {
    {"polygon", 3, "NAME X Y [X Y]...", "write a polygon in the plane z = 1", &Vandrel::polygon},
    {"polygonC", 6, "NAME A B C X Y [X Y]...", "the same, with the lead record A B C 1",
     &Vandrel::polygonC},
    {"assemble", 3, "[INPUT]... OUTPUT", "join model files into one", &Vandrel::assemble},
    {"transform", 3, "NAME [KEYWORD VALUE]...", "move, scale and turn a model in place",
     &Vandrel::transform},
    {"create", 4, "NEW SOURCE [KEYWORD VALUE]...", "the same, written to a new model",
     &Vandrel::create},
    {"extrude", 5, "SOURCE OUTPUT DEPTH", "turn every polygon into a prism", &Vandrel::extrude},
    {"clip", 10, "SOURCE OUTPUT NX NY NZ PX PY PZ",
     "keep what lies on the normal's side of a plane", &Vandrel::clip},
    {"rot", 12, "SOURCE OUTPUT AX AY AZ CX CY CZ COUNT TOTAL",
     "place COUNT copies turned about an axis over TOTAL degrees", &Vandrel::rot},
};

QString usageLine(const Command& command) {
  return QStringLiteral("usage: vandrel %1 %2").arg(command.word, command.arguments);
}

// Help and version go to standard output; a failed write is a failure like any other.
void print(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  errno = 0;
  if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
      std::fflush(stdout) != 0) {
    throw RunError(QStringLiteral("cannot write to standard output: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(errno))));
  }
}

QString helpText() {
  QString text = QStringLiteral(
      "usage: vandrel COMMAND ARGUMENT...\n"
      "Builds and reshapes polygon models kept in NAME.poly files.\n\n");
  for (const Command& command : commands) {
    text += QStringLiteral("  vandrel %1 %2\n      %3\n")
                .arg(command.word, command.arguments, command.summary);
  }
  text += QStringLiteral(
      "  vandrel --help | --version\n\n"
      "KEYWORD is one of XT YT ZT (translate), XS YS ZS US (scale), XD YD ZD (turn by degrees)\n"
      "and XR YR ZR (turn by radians). Exit status: 0 success, 1 failure, 2 usage error.\n");
  return text;
}

}  // namespace

Vandrel::Vandrel() : model(std::make_unique<LNHHolder>()) {}

Vandrel::Vandrel(int argc, char** argv) : Vandrel() { run(argc, argv); }

Vandrel::~Vandrel() = default;

void Vandrel::run(int argc, char** argv) {
  const QString tryHelp = QStringLiteral(" (try 'vandrel --help')");
  if (argc < 2) throw UsageError(QStringLiteral("usage: vandrel COMMAND ARGUMENT...") + tryHelp);
  const QString word = QString::fromLocal8Bit(argv[1]);
  if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
    print(helpText());
    return;
  }
  if (word == QLatin1String("--version")) {
    print(QStringLiteral("vandrel %1\n").arg(QStringLiteral(VANDREL_VERSION)));
    return;
  }
  for (const Command& command : commands) {
    if (word != QLatin1String(command.word)) continue;
    if (argc < command.minArgc) throw UsageError(usageLine(command));
    try {
      (this->*command.run)(argc, argv);
    } catch (const UsageError& error) {
      throw UsageError(QStringLiteral("%1: %2; %3")
                           .arg(word, QString::fromStdString(error.what()), usageLine(command)));
    }
    return;
  }
  throw UsageError(QStringLiteral("unknown command '%1'").arg(word) + tryHelp);
}
