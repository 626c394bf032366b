#include "Vandrel.h"

#include <iterator>

#include "Console.h"
#include "Failure.h"
#include "Formats.h"
#include "ModelFile.h"
#include "OutputFile.h"
#include "Quote.h"

namespace {

struct Command {
  const char* word;
  int fewest;  // words after the command word
  int most;    // the same, or -1 for no limit
  const char* arguments;
  const char* summary;
  void (*run)(Vandrel& driver, Words words);
};

// Matched in this order, exactly and case-sensitively.
const Command commands[] = {
    {"polygon", 1, -1, "NAME X Y [X Y]...", "write a polygon in the plane z = 1",
     [](Vandrel& v, Words w) { v.polygon(polygonArguments(w, false)); }},
    {"polygonC", 4, -1, "NAME A B C X Y [X Y]...", "the same, with the lead record A B C 1",
     [](Vandrel& v, Words w) { v.polygon(polygonArguments(w, true)); }},
    {"circle", 3, 6, "NAME RADIUS SEGMENTS [R G B]",
     "write a regular polygon of SEGMENTS vertices on a circle about the origin, at z = 1",
     [](Vandrel& v, Words w) { v.circle(circleArguments(w)); }},
    {"assemble", 2, -1, "INPUT... OUTPUT", "join model files into one",
     [](Vandrel& v, Words w) { v.assemble(assembleArguments(w)); }},
    {"union", 3, -1, "INPUT... OUTPUT", "the solids of two or more models united",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::unite)); }},
    {"difference", 3, -1, "BASE CUTTER... OUTPUT", "the solids of BASE less those of every CUTTER",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::subtract)); }},
    {"intersection", 3, -1, "INPUT... OUTPUT", "what the solids of two or more models share",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::intersect)); }},
    {"transform", 1, -1, "NAME [KEYWORD VALUE]...", "move, scale and turn a model in place",
     [](Vandrel& v, Words w) { v.transform(transformArguments(w, false)); }},
    {"create", 2, -1, "NEW SOURCE [KEYWORD VALUE]...", "the same, written to a new model",
     [](Vandrel& v, Words w) { v.transform(transformArguments(w, true)); }},
    {"extrude", 3, 3, "SOURCE OUTPUT DEPTH", "turn every polygon into a prism",
     [](Vandrel& v, Words w) { v.extrude(extrudeArguments(w)); }},
    {"revolve", 10, 10, "SOURCE OUTPUT AX AY AZ CX CY CZ STEPS ANGLE",
     "sweep every profile about an axis through ANGLE degrees in STEPS steps into a solid",
     [](Vandrel& v, Words w) { v.revolve(revolveArguments(w)); }},
    {"clip", 8, 9, "SOURCE OUTPUT NX NY NZ PX PY PZ [--cap]",
     "keep what lies on the normal's side of a plane; --cap closes the cut solids",
     [](Vandrel& v, Words w) { v.clip(clipArguments(w)); }},
    {"rot", 10, 10, "SOURCE OUTPUT AX AY AZ CX CY CZ COUNT TOTAL",
     "place COUNT copies turned about an axis over TOTAL degrees",
     [](Vandrel& v, Words w) { v.rot(rotArguments(w)); }},
    {"export", 2, 4, "SOURCE FILE [--weld DISTANCE]", "write a model as FORMATS",
     [](Vandrel& v, Words w) { v.exportFile(exportArguments(w)); }},
    {"import", 2, 2, "FILE NAME", "read a model from one of those formats, a face an object",
     [](Vandrel& v, Words w) { v.importFile(importArguments(w)); }},
    {"render", 2, 8, "SOURCE PICTURE [--view VIEW] [--size WIDTHxHEIGHT] [--weld DISTANCE]",
     "draw a model into a .png or .svg picture; VIEW is iso, top, front, side or AZ,EL",
     [](Vandrel& v, Words w) { v.render(renderArguments(w)); }},
    {"info", 1, 3, "SOURCE [--weld DISTANCE]",
     "print what is in a model: counts, bounds, area, parts, closed, volume",
     [](Vandrel& v, Words w) { v.info(infoArguments(w)); }},
};

QString usageLine(const Command& command) {
  return QStringLiteral("usage: vandrel %1 %2").arg(command.word, command.arguments);
}

QString helpText() {
  QString text = QStringLiteral(
      "usage: vandrel COMMAND ARGUMENT...\n"
      "Builds and reshapes polygon models kept in NAME.poly files.\n\n");
  for (const Command& command : commands) {
    const QString summary =
        QString::fromLatin1(command.summary).replace(QStringLiteral("FORMATS"), formatList());
    text +=
        QStringLiteral("  vandrel %1 %2\n      %3\n").arg(command.word, command.arguments, summary);
  }
  text += QStringLiteral(
      "  vandrel --help | --version\n\n"
      "KEYWORD is one of XT YT ZT (translate), XS YS ZS US (scale), XD YD ZD (turn by degrees)\n"
      "and XR YR ZR (turn by radians). DISTANCE: positions closer than it are one vertex\n"
      "(default 1e-5 of the model's largest side; 0 joins only equal positions).\n"
      "Exit status: 0 success, 1 failure, 2 usage error.\n");
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
    const Words words{argv + 2, argc - 2};
    if (words.count < command.fewest) throw UsageError(usageLine(command));
    try {
      if (command.most >= 0 && words.count > command.most) {
        throw UsageError(QStringLiteral("unexpected argument ") + quotedField(words[command.most]));
      }
      command.run(*this, words);
    } catch (const UsageError& error) {
      throw UsageError(word + QStringLiteral(": ") + QString::fromStdString(error.what()) +
                       QStringLiteral("; ") + usageLine(command));
    }
    return;
  }
  throw UsageError(QStringLiteral("unknown command ") + quotedField(argv[1]) + tryHelp);
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
