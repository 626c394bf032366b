#include "Vandrel.h"

#include <cstring>

#include "Commands.h"
#include "Console.h"
#include "Failure.h"
#include "Help.h"
#include "ModelFile.h"
#include "OutputFile.h"
#include "Quote.h"

Vandrel::Vandrel() : model(std::make_unique<LNHHolder>()) {}

Vandrel::Vandrel(int argc, char** argv) : Vandrel() { run(argc, argv); }

Vandrel::~Vandrel() = default;

void Vandrel::run(int argc, char** argv) {
  if (argc < 2) {
    throw UsageError(QStringLiteral("usage: vandrel COMMAND ARGUMENT... (try 'vandrel help')"));
  }
  const QString word = QString::fromLocal8Bit(argv[1]);
  if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
    print(helpText());
    return;
  }
  if (word == QLatin1String("--version")) {
    print(QStringLiteral("vandrel %1\n").arg(QStringLiteral(VANDREL_VERSION)));
    return;
  }
  if (word == QLatin1String("help")) {
    if (argc == 2) return print(helpText());
    if (argc > 3) {
      throw UsageError(QStringLiteral("help: unexpected argument ") + quotedField(argv[3]) +
                       QStringLiteral("; usage: vandrel help [COMMAND]"));
    }
    const Command* command = commandNamed(QString::fromLocal8Bit(argv[2]));
    if (command == nullptr) throw UsageError(unknownCommand(argv[2]));
    return print(commandHelp(*command));
  }
  const Command* command = commandNamed(word);
  if (command == nullptr) throw UsageError(unknownCommand(argv[1]));
  const Words words{argv + 2, argc - 2};
  for (int i = 0; i < words.count; ++i) {
    if (std::strcmp(words[i], "--help") == 0) return print(commandHelp(*command));
  }
  if (words.count < command->fewest) throw UsageError(usageLine(*command));
  try {
    if (command->most >= 0 && words.count > command->most) {
      throw UsageError(QStringLiteral("unexpected argument ") + quotedField(words[command->most]));
    }
    command->run(*this, words);
  } catch (const UsageError& error) {
    throw UsageError(word + QStringLiteral(": ") + QString::fromStdString(error.what()) +
                     QStringLiteral("; ") + usageLine(*command));
  }
}

void Vandrel::loadFile(QString name) {
  loadedPath = name + QStringLiteral(".poly");
  model = readModel(loadedPath);
}

void Vandrel::writeFile(QString name) {
  OutputFile out(name + QStringLiteral(".poly"));
  writeModel(*model, out);
  out.commit();
}
