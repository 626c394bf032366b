#pragma once

#include <QString>
#include <QStringList>

#include "ExactSolid.h"
#include "Formats.h"
#include "Transformation.h"
#include "View.h"

// The values of a command line, read and checked once, before any file is touched. A value
// that is not what its place asks for is a UsageError that names it.

// The words of a command line after the command word.
struct Words {
  char** first;
  int count;
  const char* operator[](int i) const { return first[i]; }
};

// A command-line value: a finite number. Anything else is a UsageError that names the text.
float readArgument(const char* text);

// A model name: the argument as typed. It must be UTF-8, so that it names the file it says.
QString modelName(const char* text);

// polygon NAME X Y [X Y]... and polygonC NAME A B C X Y [X Y]...: the values as typed, without
// the white space around them.
struct PolygonArguments {
  QString name;
  QString lead;  // the lead record line
  QStringList coordinates;
};
PolygonArguments polygonArguments(Words words, bool withLead);

// circle NAME RADIUS SEGMENTS [R G B]: the radius positive, the segments a whole number from 3
// to 10,000,000; the lead record as polygon or polygonC writes it.
struct CircleArguments {
  QString name;
  QString lead;
  double radius;
  long segments;
};
CircleArguments circleArguments(Words words);

// assemble [INPUT]... OUTPUT
struct AssembleArguments {
  QStringList inputs;
  QString output;
};
AssembleArguments assembleArguments(Words words);

// union INPUT... OUTPUT, difference BASE CUTTER... OUTPUT, intersection INPUT... OUTPUT: at
// least two inputs.
struct BooleanArguments {
  ExactSolid::Operation operation;
  QStringList inputs;
  QString output;
};
BooleanArguments booleanArguments(Words words, ExactSolid::Operation operation);

// transform NAME [KEYWORD VALUE]... and create NEW SOURCE [KEYWORD VALUE]...
struct TransformArguments {
  QString source;
  QString output;
  Transformation steps;
};
TransformArguments transformArguments(Words words, bool create);

// extrude SOURCE OUTPUT DEPTH
struct ExtrudeArguments {
  QString source;
  QString output;
  float depth;
};
ExtrudeArguments extrudeArguments(Words words);

// rot: `count` copies about the axis with direction `axis` through `centre`, each turned
// total / count degrees further than the one before. The direction is not zero, the count is
// positive and the step is finite.
struct Sweep {
  float axis[3];
  float centre[3];
  float count;
  float total;
};
struct RotArguments {
  QString source;
  QString output;
  Sweep sweep;
};
RotArguments rotArguments(Words words);

// revolve SOURCE OUTPUT AX AY AZ CX CY CZ STEPS ANGLE: the axis as rot's; STEPS a whole number,
// at least 1 (3 for a full turn), ANGLE in (0, 360] degrees.
struct RevolveArguments {
  QString source;
  QString output;
  float axis[3];
  float centre[3];
  long steps;
  double degrees;
};
RevolveArguments revolveArguments(Words words);

// clip: the plane through `point` with the normal `normal`, whose length does not matter.
struct Plane {
  float normal[3];
  float point[3];
};
// clip SOURCE OUTPUT NX NY NZ PX PY PZ, with --cap anywhere after the command word.
struct ClipArguments {
  QString source;
  QString output;
  Plane plane;
  bool cap;
};
ClipArguments clipArguments(Words words);

// --weld DISTANCE, after the other arguments of export, info and render: how close positions
// must be to be one vertex (Weld.h); defaultWeld unless given, 0 for bit-equal positions only.

// export SOURCE FILE [--weld DISTANCE] and import FILE NAME: FILE's extension names its format.
struct ExportArguments {
  QString source;
  QString file;
  Format format;
  double weld;
};
ExportArguments exportArguments(Words words);
struct ImportArguments {
  QString file;
  Format format;
  QString output;
};
ImportArguments importArguments(Words words);

// render SOURCE PICTURE [--view VIEW] [--size WIDTHxHEIGHT] [--weld DISTANCE]: PICTURE's
// extension, .png or .svg, names its kind; the size is 800x600 unless given, each side from 1
// to 16384.
struct RenderArguments {
  QString source;
  QString picture;
  bool svg;
  View view;
  QSize size{800, 600};
  double weld;
};
RenderArguments renderArguments(Words words);

// info SOURCE [--weld DISTANCE]
// view SOURCE PAGE.html [--weld DISTANCE]
struct ViewArguments {
  QString source;
  QString page;
  double weld;
};
ViewArguments viewArguments(Words words);
struct InfoArguments {
  QString source;
  double weld;
};
InfoArguments infoArguments(Words words);
