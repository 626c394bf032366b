#include "Synopsis.h"

#include "Commands.h"

namespace {

// What a plain argument is, from its name in the synopsis.
QString kindOf(const QString& name, const char* command) {
  static const char* const models[] = {"NAME",  "NEW",  "SOURCE", "OUTPUT",
                                       "INPUT", "BASE", "CUTTER"};
  for (const char* model : models) {
    if (name == QLatin1String(model)) return QStringLiteral("model");
  }
  if (name == QLatin1String("KEYWORD")) return QStringLiteral("keyword");
  if (name == QLatin1String("PICTURE")) return QStringLiteral("picture");
  if (name == QLatin1String("PAGE.html")) return QStringLiteral("page");
  if (name == QLatin1String("FILE") &&
      (qstrcmp(command, "export") == 0 || qstrcmp(command, "import") == 0)) {
    return QStringLiteral("exchange");
  }
  return QString();
}

}  // namespace

Synopsis synopsisOf(const Command& command) {
  Synopsis synopsis;
  const QStringList words = QString::fromLatin1(command.arguments).split(u' ', Qt::SkipEmptyParts);
  bool repeating = false, done = false;
  for (int i = 0; i < words.size(); ++i) {
    QString word = words[i];
    if (word.startsWith(QLatin1String("[--"))) {
      QString option = word.mid(1), value;
      if (option.endsWith(u']')) {
        option.chop(1);
      } else if (i + 1 < words.size()) {
        value = words[++i];
        value.chop(1);
      }
      synopsis.options << option;
      synopsis.optionValues << value;
      continue;
    }
    if (done) continue;
    const bool opensGroup = word.startsWith(u'[');
    const bool closesGroup = word.endsWith(QLatin1String("]..."));
    const bool repeats = word.endsWith(QLatin1String("..."));
    word.remove(u'[').remove(QLatin1String("]...")).remove(QLatin1String("..."));
    if (opensGroup) {  // an optional group repeats where it closes with "]..."
      for (int j = i; j < words.size(); ++j) {
        if (!words[j].endsWith(u']') && !words[j].endsWith(QLatin1String("]..."))) continue;
        repeating = words[j].endsWith(QLatin1String("]..."));
        break;
      }
    } else if (repeats) {
      repeating = true;
    }
    (repeating ? synopsis.repeated : synopsis.fixed) << kindOf(word, command.word);
    if (repeating && (closesGroup || (repeats && !opensGroup))) done = true;
  }
  return synopsis;
}
