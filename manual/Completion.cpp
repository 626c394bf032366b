#include "Completion.h"

#include "Commands.h"
#include "Formats.h"
#include "Keywords.h"
#include "Synopsis.h"
#include "View.h"

namespace {

QString words(const QStringList& list) { return list.join(u' '); }

// "obj|stl|..." from ".obj, .stl, ... or .3mf".
QString formatPattern() {
  QString list = formatList();
  list.replace(QLatin1String(" or "), QLatin1String(", ")).remove(u'.');
  return list.split(QLatin1String(", "), Qt::SkipEmptyParts).join(u'|');
}

}  // namespace

std::string completionScript() {
  QStringList commandWords{QStringLiteral("help")};
  QString cases;
  for (const Command& command : allCommands()) {
    commandWords << QLatin1String(command.word);
    const Synopsis synopsis = synopsisOf(command);
    QStringList options = synopsis.options;
    options << QStringLiteral("--help");
    QStringList valued;
    for (int i = 0; i < synopsis.options.size(); ++i) {
      if (!synopsis.optionValues[i].isEmpty()) valued << synopsis.options[i];
    }
    cases +=
        QStringLiteral("    %1) options='%2' valued='%3' fixed=(%4) repeated=(%5) ;;\n")
            .arg(QLatin1String(command.word), words(options), words(valued),
                 QStringLiteral("'") + synopsis.fixed.join(QLatin1String("' '")) + u'\'',
                 synopsis.repeated.isEmpty()
                     ? QString()
                     : QStringLiteral("'") + synopsis.repeated.join(QLatin1String("' '")) + u'\'');
  }
  cases.replace(QLatin1String("=('')"), QLatin1String("=()"));
  QStringList keywords;
  for (const char* keyword : keywordWords()) keywords << QLatin1String(keyword);

  QString script = QStringLiteral(
      "# bash completion for vandrel, made from its command table\n"
      "_vandrel_files() {\n"
      "  # files whose extension matches $1, folders, and nothing else\n"
      "  local name\n"
      "  while IFS= read -r name; do\n"
      "    if [[ -d $name ]]; then COMPREPLY+=(\"$name/\");\n"
      "    elif [[ ${name,,} =~ \\.($1)$ ]]; then COMPREPLY+=(\"$name\"); fi\n"
      "  done < <(compgen -f -- \"$cur\")\n"
      "  ((${#COMPREPLY[@]} == 1)) && [[ ${COMPREPLY[0]} != */ ]] && compopt +o nospace "
      "2>/dev/null\n"
      "}\n"
      "_vandrel() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      "  COMPREPLY=()\n"
      "  compopt -o nospace 2>/dev/null\n"
      "  if ((COMP_CWORD == 1)); then\n"
      "    COMPREPLY=($(compgen -W '%1 --help --version' -- \"$cur\"))\n"
      "    compopt +o nospace 2>/dev/null; return\n"
      "  fi\n"
      "  local options valued fixed repeated\n"
      "  case ${COMP_WORDS[1]} in\n"
      "    help) ((COMP_CWORD == 2)) && COMPREPLY=($(compgen -W '%2' -- \"$cur\"))\n"
      "      compopt +o nospace 2>/dev/null; return ;;\n"
      "%3"
      "    *) return ;;\n"
      "  esac\n"
      "  if [[ $prev == --view ]]; then\n"
      "    COMPREPLY=($(compgen -W '%4' -- \"$cur\")); compopt +o nospace 2>/dev/null; return\n"
      "  fi\n"
      "  [[ \" $valued \" == *\" $prev \"* ]] && return\n"
      "  if [[ $cur == -* ]]; then\n"
      "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\")); compopt +o nospace 2>/dev/null\n"
      "    return\n"
      "  fi\n"
      "  # the position of this word among the plain arguments\n"
      "  local i n=0\n"
      "  for ((i = 2; i < COMP_CWORD; i++)); do\n"
      "    if [[ \" $valued \" == *\" ${COMP_WORDS[i]} \"* ]]; then ((i++))\n"
      "    elif [[ ${COMP_WORDS[i]} != --* ]]; then ((n++)); fi\n"
      "  done\n"
      "  local kind=\n"
      "  if ((n < ${#fixed[@]})); then kind=${fixed[n]}\n"
      "  elif ((${#repeated[@]} > 0)); then kind=${repeated[(n - ${#fixed[@]}) % "
      "${#repeated[@]}]}; fi\n"
      "  case $kind in\n"
      "    model)\n"
      "      local name\n"
      "      while IFS= read -r name; do\n"
      "        if [[ -d $name ]]; then COMPREPLY+=(\"$name/\");\n"
      "        elif [[ $name == *.poly ]]; then COMPREPLY+=(\"${name%.poly}\"); fi\n"
      "      done < <(compgen -f -- \"$cur\")\n"
      "      ((${#COMPREPLY[@]} == 1)) && [[ ${COMPREPLY[0]} != */ ]] && compopt +o nospace "
      "2>/dev/null ;;\n"
      "    keyword) COMPREPLY=($(compgen -W '%5' -- \"$cur\")); compopt +o nospace 2>/dev/null ;;\n"
      "    exchange) _vandrel_files '%6' ;;\n"
      "    picture) _vandrel_files 'png|svg' ;;\n"
      "    page) _vandrel_files 'html' ;;\n"
      "  esac\n"
      "}\n"
      "complete -F _vandrel vandrel\n");
  script = script.arg(words(commandWords), words(commandWords.mid(1)), cases, words(viewNames()),
                      words(keywords), formatPattern());
  return script.toStdString();
}
