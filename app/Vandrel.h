#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "Arguments.h"
#include "LNHHolder.h"
#include "Mesh.h"
#include "ObjectPipeline.h"
#include "Transformation.h"

class OutputFile;

// The driver: one object is one run of the program. Every command is a member; the model file
// reader and writer are members too, so that the commands share the model in hand.
//
// The command line is read into typed values first (Arguments.h); the commands take those.
// Failures are thrown as Failure exceptions (see Failure.h); nothing here prints except
// --help and --version, on standard output.
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
  void assemble(const AssembleArguments& arguments);

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

  // clip: keeps what lies on the normal's side of the plane, written to OUTPUT.poly while the
  // source is read; doClip does the same with the model in hand.
  void clip(const ClipArguments& arguments);
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
  void info(const QString& source);

  std::unique_ptr<LNHHolder> model;         // the model the model-file commands work on
  LinkNodeHolder* currentObject = nullptr;  // the object an operation is visiting
  LinkNodeHolder* loadObject = nullptr;     // the object the reader is filling
  std::unique_ptr<Point> leadPoint;         // lead record of the object in hand
  QString loadedPath;                       // the file the model was read from

 private:
  void readModel(const QString& path);
  // Reads the model file at `path` into a new model, as readModel does, and hands each object,
  // once complete, to `format`, whose text goes to `out` (ObjectPipeline.h); both may be null.
  void streamModel(const QString& path, OutputFile* out, const ObjectFormat* format,
                   FirstFault first);
  // SOURCE.poly read and formatted object by object into OUTPUT.poly, while it is read; `first`
  // as for runPipeline, also for a failure to make the output.
  void streamFile(const QString& source, const QString& output, const ObjectFormat& format,
                  FirstFault first);
  // Commits the output; the model is let go meanwhile.
  void commitAndLetGo(OutputFile& out);
  // The mesh of NAME.poly (ModelMesh.h); the model is let go once the mesh holds it.
  Mesh loadMesh(const QString& name);
  // Appends every object of the model to `out`, as the writer writes them.
  void writeModel(OutputFile& out);
  // Appends the text that `format` makes of every object of the model to `out`.
  void writeObjects(OutputFile& out, const ObjectFormat& format);
  // What extrude and clip make of each object (ObjectPipeline.h).
  ObjectFormat prismFormat(float depth);
  ObjectFormat clipFormat(const Plane& plane);
  // "PATH: result out of range (object N)", N from 1.
  [[noreturn]] void outOfRange(size_t object) const;
};
