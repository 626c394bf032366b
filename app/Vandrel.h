#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "Arguments.h"
#include "LNHHolder.h"
#include "Transformation.h"

// The driver: one object is one run of the program. Every command is a member, a short recipe
// of calls into the libraries (model files, meshes, formats, pictures); the model file reader and
// writer are members too, so that the commands share the model in hand.
//
// The command line is read into typed values first (Arguments.h); the commands take those.
// Failures are thrown as Failure exceptions (see Failure.h) and printed once, by main. What the
// commands print on success: the help and the version, info's figures on standard output, and
// import's count of skipped points and lines on standard error.
class Vandrel {
 public:
  // An empty model and no command run; tests call the members directly.
  Vandrel();
  // The whole run: dispatches on argv[1] and runs the command.
  Vandrel(int argc, char** argv);
  ~Vandrel();
  Vandrel(const Vandrel&) = delete;
  Vandrel& operator=(const Vandrel&) = delete;

  // Validates the command line, then runs the one command it names.
  void run(int argc, char** argv);

  // polygon and polygonC: a one-object model from coordinates.
  void polygon(const PolygonArguments& arguments);
  // circle: a regular polygon on a circle about the origin.
  void circle(const CircleArguments& arguments);
  void assemble(const AssembleArguments& arguments);
  // union, difference and intersection: the inputs taken as solids, combined exactly.
  void combine(const BooleanArguments& arguments);

  // Model files: reads NAME.poly into a new model, leaving the cursor on its first object;
  // writes the model to NAME.poly.
  void loadFile(QString name);
  void writeFile(QString name);

  // transform and create: the steps applied to every vertex of the source, written to output.
  // Each object is transformed and written as soon as it has been read, as doMult and then
  // writeFile would do it.
  void transform(const TransformArguments& arguments);
  // The keyword/value pairs from argv[first] on, each step multiplied onto the right of
  // `start` (Keywords.h).
  Transformation parseParams(int first, int argc, char** argv, Transformation start);
  // Applies t to every vertex record of the model; leaves the model's cursor on its first
  // object. Throws a RunError when a result is not a finite float.
  void doMult(Transformation t);

  // extrude: every polygon becomes a closed prism, written to OUTPUT.poly while the source is
  // read; doExtrude does the same with the model in hand.
  void extrude(const ExtrudeArguments& arguments);
  void doExtrude(float depth, const QString& outName);

  // rot: copies of the model turned about an axis, written to OUTPUT.poly.
  void rot(const RotArguments& arguments);
  void doRotate(const QString& outName, const Sweep& sweep);

  // revolve: every profile polygon swept about an axis into a solid, written to OUTPUT.poly.
  void revolve(const RevolveArguments& arguments);

  // clip: keeps what lies on the normal's side of the plane, written to OUTPUT.poly while the
  // source is read; doClip does the same with the model in hand. With --cap, clipAndCap.
  void clip(const ClipArguments& arguments);
  // clip --cap: the same, then a cap over every cut of a closed part.
  void clipAndCap(const ClipArguments& arguments);
  void doClip(const QString& outName, const Plane& plane);
  // Where the segment from a to b meets the plane, given their side values da and db.
  Point getCenter(Point* a, Point* b, double da, double db);

  // export: the model written as a mesh in another format.
  void exportFile(const ExportArguments& arguments);
  // import: a mesh in another format read into a model, one object per face.
  void importFile(const ImportArguments& arguments);

  // render: a picture of the model, PNG or SVG.
  void render(const RenderArguments& arguments);
  // info: what is in the model, a "key: value" line each on standard output.
  void info(const InfoArguments& arguments);
  // view: a web page that shows the model in 3D, with info's figures.
  void view(const ViewArguments& arguments);

  std::unique_ptr<LNHHolder> model;  // the model the model-file commands work on
  QString loadedPath;                // the file the model was read from, for messages
};
