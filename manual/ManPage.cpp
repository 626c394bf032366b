#include "ManPage.h"

#include "Commands.h"
#include "Help.h"

namespace {

// Text for troff: backslashes and hyphens escaped, a line never led by a control character.
QString troff(QString text) {
  text.replace(u'\\', QLatin1String("\\e")).replace(u'-', QLatin1String("\\-"));
  QStringList lines = text.split(u'\n');
  for (QString& line : lines) {
    if (line.startsWith(u'.') || line.startsWith(u'\'')) line.prepend(QLatin1String("\\&"));
  }
  return lines.join(u'\n');
}

// Help text wrapped for a terminal, as one filled paragraph.
QString paragraph(const QString& text) { return troff(QString(text).replace(u'\n', u' ')); }

}  // namespace

std::string manPage() {
  QString page = QStringLiteral(
      ".TH VANDREL 1 \"\" \"vandrel " VANDREL_VERSION
      "\" \"User Commands\"\n"
      ".SH NAME\n"
      "vandrel \\- build and reshape polygon models kept in .poly files\n"
      ".SH SYNOPSIS\n"
      ".B vandrel\n"
      ".I COMMAND\n"
      "[\\fIARGUMENT\\fR]...\n"
      ".br\n"
      ".B vandrel help\n"
      "[\\fICOMMAND\\fR]\n"
      ".SH DESCRIPTION\n"
      "vandrel makes polygons, joins model files, moves, scales and turns them, extrudes and\n"
      "revolves solids, clips and combines them, exchanges them with other formats, draws them\n"
      "and measures them. A model is a plain-text file NAME.poly; commands take the NAME and add\n"
      "the suffix. Outputs are replaced whole or not at all.\n"
      ".SH COMMANDS\n");
  for (const Command& command : allCommands()) {
    page += QStringLiteral(".SS \"%1 %2\"\n")
                .arg(QLatin1String(command.word), troff(QLatin1String(command.arguments)));
    page += paragraph(withFormats(command.summary)) + QStringLiteral(".\n.PP\n");
    page += paragraph(withFormats(command.details)) + u'\n';
    page += QStringLiteral(".PP\nExample:\n.RS\n.nf\n") + troff(QLatin1String(command.example)) +
            QStringLiteral("\n.fi\n.RE\n");
  }
  page += QStringLiteral(".SH NOTES\n") + paragraph(helpNotes()) + u'\n';
  page += QStringLiteral(
      ".SH EXIT STATUS\n"
      "0 on success, 1 when the command fails, 2 for a usage error (nothing is read or written),\n"
      "200 when a geometric check fails.\n"
      "Every failure is one line on standard error.\n"
      ".SH SEE ALSO\n"
      "\\fBvandrel help\\fR \\fICOMMAND\\fR, \\fBvandrel\\fR \\fICOMMAND\\fR \\fB\\-\\-help\\fR\n");
  return page.toStdString();
}
