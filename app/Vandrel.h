#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "LNHHolder.h"
#include "Transformation.h"

// The driver: one object is one run of the program. Every command is a member; the model file
// reader and writer are members too, so that the commands share the model in hand.
//
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

  // Commands that read their arguments themselves.
  void polygon(int argc, char** argv);
  void polygonC(int argc, char** argv);
  void assemble(int argc, char** argv);

  // Model files: NAME.poly, and the scratch file NAME.polyTemp that readTfile removes.
  void loadFile(QString name);
  void readTfile(QString name);
  void writeFile(QString name);

  // transform NAME [KEYWORD VALUE]... and create NEW SOURCE [KEYWORD VALUE]...
  void transform(int argc, char** argv);
  void create(int argc, char** argv);

  // The keyword/value pairs from argv[first] on, each step multiplied onto the right of
  // `start`, so that the steps act in command-line order. Throws a UsageError for an unknown
  // keyword, a missing value or a value that is not a finite number.
  Transformation parseParams(int first, int argc, char** argv, Transformation start);
  // One builder per keyword: t followed by one step. The radian builders convert to degrees
  // with 57.29577951308402, rounded to float.
  Transformation xt(float value, Transformation t);
  Transformation yt(float value, Transformation t);
  Transformation zt(float value, Transformation t);
  Transformation xs(float value, Transformation t);
  Transformation ys(float value, Transformation t);
  Transformation zs(float value, Transformation t);
  Transformation us(float value, Transformation t);
  Transformation xd(float value, Transformation t);
  Transformation yd(float value, Transformation t);
  Transformation zd(float value, Transformation t);
  Transformation xr(float value, Transformation t);
  Transformation yr(float value, Transformation t);
  Transformation zr(float value, Transformation t);
  // Applies t to every vertex record of the model; leaves the model's cursor on its first object.
  void doMult(Transformation t);

  // extrude SOURCE OUTPUT DEPTH: every polygon becomes a closed prism, written to OUTPUT.poly.
  void extrude(int argc, char** argv);
  void doExtrude(QString depth, QString outName);

  // rot SOURCE OUTPUT AX AY AZ CX CY CZ COUNT TOTAL: COUNT copies turned about the axis.
  void rot(int argc, char** argv);
  // Leaves the copies in the model, for the caller to write.
  void doRotate(QString outName, QString ax, QString ay, QString az, QString cx, QString cy,
                QString cz, QString count, QString total);
  // Writes the copies, the model turned 0, 1, 2, ... times by `angle` degrees about z, to the
  // scratch file NAME.polyTemp.
  void doZrm(QString name, float angle, float count);

  // clip SOURCE OUTPUT NX NY NZ PX PY PZ: keeps what lies on the normal's side of the plane.
  void clip(int argc, char** argv);
  void doClip(QString outName, QString nx, QString ny, QString nz, QString px, QString py,
              QString pz);
  // Where the segment from a to b meets the plane, given their side values da and db.
  Point getCenter(Point* a, Point* b, float da, float db);

  std::unique_ptr<LNHHolder> model;         // the model the model-file commands work on
  LinkNodeHolder* currentObject = nullptr;  // the object an operation is visiting
  LinkNodeHolder* loadObject = nullptr;     // the object the reader is filling
  std::unique_ptr<Point> leadPoint;         // lead record of the object in hand
  QString loadedPath;                       // the file the model was read from

 private:
  void readModel(const QString& path);
  // The line of the index-th "newObject" (from 1) in the file the model was read from.
  long lineOfObject(size_t index) const;
};
