#include "Vandrel.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

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
  const char* details;  // the arguments, their units and ranges, and what is written
  const char* example;
};

// Matched in this order, exactly and case-sensitively.
const Command commands[] = {
    {"polygon", 1, -1, "NAME X Y [X Y]...", "write a polygon in the plane z = 1",
     [](Vandrel& v, Words w) { v.polygon(polygonArguments(w, false)); },
     "X Y: the vertices, decimal numbers, in order; at least one.\nWrites NAME.poly: one object, "
     "lead record -1 -1 2 1, vertices X Y 1 1 as typed.",
     "vandrel polygon sq 0 0 1 0 1 1 0 1"},
    {"polygonC", 4, -1, "NAME A B C X Y [X Y]...", "the same, with the lead record A B C 1",
     [](Vandrel& v, Words w) { v.polygon(polygonArguments(w, true)); },
     "A B C: the lead record, read as a colour (red, green, blue, each 0 to 1) by export,\nrender "
     "and info; other values are kept as data without colour. X Y: as polygon's.\nWrites "
     "NAME.poly.",
     "vandrel polygonC sq 0.8 0.2 0.1 0 0 1 0 1 1 0 1"},
    {"circle", 3, 6, "NAME RADIUS SEGMENTS [R G B]",
     "write a regular polygon of SEGMENTS vertices on a circle about the origin, at z = 1",
     [](Vandrel& v, Words w) { v.circle(circleArguments(w)); },
     "RADIUS: more than 0. SEGMENTS: a whole number from 3 to 10,000,000. R G B: a colour,\neach 0 "
     "to 1, written as polygonC's lead record. Counter-clockwise from (RADIUS, 0).\nWrites "
     "NAME.poly.",
     "vandrel circle disc 5 64"},
    {"assemble", 2, -1, "INPUT... OUTPUT", "join model files into one",
     [](Vandrel& v, Words w) { v.assemble(assembleArguments(w)); },
     "INPUT: model names, read in order; their lines are copied as text.\nWrites OUTPUT.poly.",
     "vandrel assemble base roof house"},
    {"union", 3, -1, "INPUT... OUTPUT", "the solids of two or more models united",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::unite)); },
     "INPUT: two or more models, each a set of closed solids (parts that do not "
     "cross\nthemselves). Uncut faces are kept; cut ones come out as their pieces, each with "
     "its\nface's lead record. Writes OUTPUT.poly, closed and outward.",
     "vandrel union plate peg part"},
    {"difference", 3, -1, "BASE CUTTER... OUTPUT", "the solids of BASE less those of every CUTTER",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::subtract)); },
     "BASE, CUTTER: closed solids, as union takes them; BASE less every CUTTER.\nWrites "
     "OUTPUT.poly, closed and outward.",
     "vandrel difference plate hole1 hole2 holed"},
    {"intersection", 3, -1, "INPUT... OUTPUT", "what the solids of two or more models share",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::intersect)); },
     "INPUT: two or more models of closed solids; what all of them share.\nWrites OUTPUT.poly, "
     "closed and outward (empty where they share nothing).",
     "vandrel intersection a b common"},
    {"transform", 1, -1, "NAME [KEYWORD VALUE]...", "move, scale and turn a model in place",
     [](Vandrel& v, Words w) { v.transform(transformArguments(w, false)); },
     "KEYWORD VALUE: XT YT ZT translate by VALUE; XS YS ZS US scale (US: all axes); XD YD ZD\nturn "
     "by VALUE degrees, XR YR ZR by radians, about the axis through the origin. Applied\nin order. "
     "Rewrites NAME.poly.",
     "vandrel transform house XT 2 ZD 90"},
    {"create", 2, -1, "NEW SOURCE [KEYWORD VALUE]...", "the same, written to a new model",
     [](Vandrel& v, Words w) { v.transform(transformArguments(w, true)); },
     "KEYWORD VALUE: as transform's. Writes NEW.poly; SOURCE.poly is not touched.",
     "vandrel create big house US 2"},
    {"extrude", 3, 3, "SOURCE OUTPUT DEPTH", "turn every polygon into a prism",
     [](Vandrel& v, Words w) { v.extrude(extrudeArguments(w)); },
     "DEPTH: a number, not 0: how far the top is moved along each polygon's normal\n(negative: "
     "against it). Writes OUTPUT.poly: per polygon a base, a top and a side per edge.",
     "vandrel extrude sq box 2"},
    {"revolve", 10, 10, "SOURCE OUTPUT AX AY AZ CX CY CZ STEPS ANGLE",
     "sweep every profile about an axis through ANGLE degrees in STEPS steps into a solid",
     [](Vandrel& v, Words w) { v.revolve(revolveArguments(w)); },
     "AX AY AZ: the axis direction, not zero; CX CY CZ: a point on it. STEPS: a whole number\nfrom "
     "1 (3 for a full turn) to 1,000,000. ANGLE: degrees, more than 0, at most 360,\nright-handed. "
     "Each profile lies in a plane through the axis, on one side of it.\nWrites OUTPUT.poly: "
     "closed, outward solids.",
     "vandrel revolve profile ring 0 0 1 0 0 0 36 360"},
    {"clip", 8, 9, "SOURCE OUTPUT NX NY NZ PX PY PZ [--cap]",
     "keep what lies on the normal's side of a plane; --cap closes the cut solids",
     [](Vandrel& v, Words w) { v.clip(clipArguments(w)); },
     "NX NY NZ: the plane's normal, not zero; PX PY PZ: a point on it. What lies on the\nnormal's "
     "side is kept. --cap (anywhere after the command word): every closed solid the\nplane cuts is "
     "closed by caps in the plane. Writes OUTPUT.poly.",
     "vandrel clip box half 1 0 0 0.5 0 0 --cap"},
    {"rot", 10, 10, "SOURCE OUTPUT AX AY AZ CX CY CZ COUNT TOTAL",
     "place COUNT copies turned about an axis over TOTAL degrees",
     [](Vandrel& v, Words w) { v.rot(rotArguments(w)); },
     "AX AY AZ, CX CY CZ: the axis, as revolve's. COUNT: copies, a whole number from 1; "
     "TOTAL:\ndegrees over which they are spread. Writes OUTPUT.poly: the copies, one after "
     "another.",
     "vandrel rot sq ring 0 0 1 0 0 0 4 360"},
    {"export", 2, 4, "SOURCE FILE [--weld DISTANCE]", "write a model as FORMATS",
     [](Vandrel& v, Words w) { v.exportFile(exportArguments(w)); },
     "FILE: its extension chooses the format, one of FORMATS.\n"
     "--weld DISTANCE: positions closer than DISTANCE are one vertex (default 1e-5 of the\n"
     "model's largest side; 0: equal positions only).\n"
     "Writes FILE (and the .mtl of an .obj): faces outward, one object per part.",
     "vandrel export house house.stl"},
    {"import", 2, 2, "FILE NAME", "read a model from one of those formats, a face an object",
     [](Vandrel& v, Words w) { v.importFile(importArguments(w)); },
     "FILE: one of FORMATS, by its extension. Writes NAME.poly: one object per face, its\ncolour "
     "as the lead record.",
     "vandrel import part.stl part"},
    {"render", 2, 8, "SOURCE PICTURE [--view VIEW] [--size WIDTHxHEIGHT] [--weld DISTANCE]",
     "draw a model into a .png or .svg picture; VIEW is iso, top, front, side or AZ,EL",
     [](Vandrel& v, Words w) { v.render(renderArguments(w)); },
     "PICTURE: a .png or .svg file. --view: iso, top, front, side or AZIMUTH,ELEVATION in\ndegrees "
     "(default iso). --size WIDTHxHEIGHT: each 1 to 16384 (default 800x600).\n--weld DISTANCE: as "
     "export's. Writes PICTURE.",
     "vandrel render house house.png --view top"},
    {"info", 1, 3, "SOURCE [--weld DISTANCE]",
     "print what is in a model: counts, bounds, area, parts, closed, volume",
     [](Vandrel& v, Words w) { v.info(infoArguments(w)); },
     "--weld DISTANCE: as export's. Prints objects, vertices, bounds, area, no-area, "
     "colours,\nparts, open-edges, touching-edges, inward-faces, closed and volume, one per line.",
     "vandrel info box"},
};

// The number of single-character edits that turn a into b.
int editDistance(const QString& a, const QString& b) {
  std::vector<int> row(static_cast<size_t>(b.size()) + 1);
  for (size_t j = 0; j < row.size(); ++j) row[j] = static_cast<int>(j);
  for (int i = 1; i <= a.size(); ++i) {
    int diagonal = row[0];
    row[0] = i;
    for (int j = 1; j <= b.size(); ++j) {
      const int above = row[static_cast<size_t>(j)];
      row[static_cast<size_t>(j)] = std::min({above + 1, row[static_cast<size_t>(j - 1)] + 1,
                                              diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row.back();
}

// "unknown command 'WORD'", with the nearest command within two edits, if there is one.
QString unknownCommand(const char* word) {
  const QString typed = QString::fromLocal8Bit(word);
  const Command* nearest = nullptr;
  int best = 3;
  for (const Command& command : commands) {
    const int distance = editDistance(typed, QLatin1String(command.word));
    if (distance < best) {
      best = distance;
      nearest = &command;
    }
  }
  QString message = QStringLiteral("unknown command ") + quotedField(word);
  if (nearest != nullptr) message += QStringLiteral("; did you mean '%1'?").arg(nearest->word);
  return message + QStringLiteral(" (try 'vandrel help')");
}

const Command* commandNamed(const QString& word) {
  for (const Command& command : commands) {
    if (word == QLatin1String(command.word)) return &command;
  }
  return nullptr;
}

QString withFormats(const char* text) {
  return QString::fromLatin1(text).replace(QStringLiteral("FORMATS"), formatList());
}

// A command's help: synopsis, what it does, its arguments and what it writes, an example.
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
  for (const Command& command : commands) {
    const QString summary = withFormats(command.summary);
    text +=
        QStringLiteral("  vandrel %1 %2\n      %3\n").arg(command.word, command.arguments, summary);
  }
  text += QStringLiteral(
      "  vandrel help [COMMAND] | --help | --version\n\n"
      "KEYWORD is one of XT YT ZT (translate), XS YS ZS US (scale), XD YD ZD (turn by degrees)\n"
      "and XR YR ZR (turn by radians). DISTANCE: positions closer than it are one vertex\n"
      "(default 1e-5 of the model's largest side; 0 joins only equal positions).\n"
      "Exit status: 0 success, 1 failure, 2 usage error.\n"
      "'vandrel help COMMAND' or 'vandrel COMMAND --help' tells more of a command.\n");
  return text;
}

}  // namespace

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
    const Command* command = commandNamed(QString::fromLocal8Bit(argv[2]));
    if (command == nullptr || argc > 3) throw UsageError(unknownCommand(argv[2]));
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
