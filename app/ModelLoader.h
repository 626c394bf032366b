#pragma once

#include <QString>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "LNHHolder.h"
#include "LineReader.h"
#include "ModelText.h"
#include "ObjectPipeline.h"

// Reads a model file into a model, a block of lines (about a megabyte) per pipeline step: the
// block read in one step is parsed there, in two halves on two threads, and added to the model
// in the next, in order, while the block after it is parsed. An object is complete, and handed
// on, when the next one begins or the file ends.
//
// Every record is loaded with w = 1; fields after the third are not read. A line that is not a
// record is a RunError "PATH:LINE: what is wrong", thrown by lead().
class ModelLoader : public ObjectSource {
 public:
  // `objectLines` receives the line of each object's "newObject".
  ModelLoader(const QString& path, LNHHolder& model, std::vector<long>& objectLines);

  bool next() override;
  // Adds the block parsed in the step before, then parses the first half of this step's.
  void lead(std::vector<LoadedObject>* completed) override;
  // Parses the second half of this step's block.
  void help() override;

 private:
  struct Half {
    std::vector<ParsedLine> parsed;
    std::string badField;  // of its first line that is notANumber
  };
  struct Block {
    std::string_view text;  // valid for the step in which it is read
    std::string_view halves[2];
    Half parsed[2];
    bool pending = false;  // parsed, not yet added
  };

  void add(Block& block, std::vector<LoadedObject>* completed);
  void complete(std::vector<LoadedObject>* completed);
  [[noreturn]] void lineError(const QString& what) const;

  LineReader in_;
  QString where_;  // "PATH:", for messages
  LNHHolder& model_;
  std::vector<long>& objectLines_;
  Block blocks_[2];
  int newest_ = 1;  // the block read in this step
  bool atEnd_ = false;
  std::exception_ptr readFailure_;
  long lineNumber_ = 0;
  LinkNodeHolder* open_ = nullptr;  // the object being filled
  LoadedObject openInfo_{};
};
