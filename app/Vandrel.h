#pragma once

#include <QString>
#include <memory>

#include "LNHHolder.h"

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

  // Stands in for a command that this build does not have yet.
  void notAvailable(int argc, char** argv);

  std::unique_ptr<LNHHolder> model;         // the model the model-file commands work on
  LinkNodeHolder* currentObject = nullptr;  // the object an operation is visiting
  LinkNodeHolder* loadObject = nullptr;     // the object the reader is filling

 private:
  void readModel(const QString& path);
};
