#include "Help.h"

#include <algorithm>
#include <vector>

#include "Commands.h"
#include "Quote.h"

namespace {

// The number of single-character edits (insertions, deletions, replacements and swaps of
// neighbours) that turn a into b.
int editDistance(const QString& a, const QString& b) {
  const int rows = int(a.size()) + 1, columns = int(b.size()) + 1;
  std::vector<int> d(size_t(rows) * size_t(columns));
  auto at = [&](int i, int j) -> int& { return d[size_t(i) * size_t(columns) + size_t(j)]; };
  for (int i = 0; i < rows; ++i) at(i, 0) = i;
  for (int j = 0; j < columns; ++j) at(0, j) = j;
  for (int i = 1; i < rows; ++i) {
    for (int j = 1; j < columns; ++j) {
      const int replace = at(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1);
      at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
      }
    }
  }
  return at(rows - 1, columns - 1);
}

}  // namespace

QString nearestWord(const QString& typed, const char* const* first, const char* const* last) {
  const char* nearest = nullptr;
  int best = 3, bestExact = 0;
  const QString folded = typed.toLower();
  for (const char* const* candidate = first; candidate != last; ++candidate) {
    const QString word = QLatin1String(*candidate);
    const int distance = editDistance(folded, word.toLower());
    const int exact = editDistance(typed, word);
    if (2 * distance > typed.size()) continue;  // more edits than the word has left
    if (distance < best || (distance == best && nearest != nullptr && exact < bestExact)) {
      best = distance;
      bestExact = exact;
      nearest = *candidate;
    }
  }
  return nearest == nullptr ? QString() : QString::fromLatin1(nearest);
}

QString unknownCommand(const char* word) {
  std::vector<const char*> words{"help"};
  for (const Command& command : allCommands()) words.push_back(command.word);
  const QString nearest =
      nearestWord(QString::fromLocal8Bit(word), words.data(), words.data() + words.size());
  QString message = QStringLiteral("unknown command ") + quotedField(word);
  if (!nearest.isEmpty()) message += QStringLiteral("; did you mean '%1'?").arg(nearest);
  return message + QStringLiteral(" (try 'vandrel help')");
}

QString commandHelp(const Command& command) {
  return QStringLiteral("usage: vandrel %1 %2\n%3.\n\n%4\n\nexample: %5\n")
      .arg(command.word, command.arguments, withFormats(command.summary),
           withFormats(command.details), command.example);
}

QString usageLine(const Command& command) {
  return QStringLiteral("usage: vandrel %1 %2").arg(command.word, command.arguments);
}

QString helpText() {
  QString text = QStringLiteral(
      "usage: vandrel COMMAND ARGUMENT...\n"
      "Builds and reshapes polygon models kept in NAME.poly files.\n\n");
  for (const Command& command : allCommands()) {
    const QString summary = withFormats(command.summary);
    text +=
        QStringLiteral("  vandrel %1 %2\n      %3\n").arg(command.word, command.arguments, summary);
  }
  text += QStringLiteral("  vandrel help [COMMAND] | --help | --version\n\n") + helpNotes() +
          QStringLiteral(
              "'vandrel help COMMAND' or 'vandrel COMMAND --help' tells more of a command.\n");
  return text;
}

QString helpNotes() {
  return QStringLiteral(
      "KEYWORD is one of XT YT ZT (translate), XS YS ZS US (scale), XD YD ZD (turn by degrees)\n"
      "and XR YR ZR (turn by radians). DISTANCE: positions closer than it are one vertex\n"
      "(default 1e-5 of the model's largest side; 0 joins only equal positions).\n"
      "Exit status: 0 success, 1 failure, 2 usage error.\n");
}
