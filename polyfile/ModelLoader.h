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

// Where a loader puts what it reads: a model, or a mesh (MeshFile.h).
class LoadTarget {
 public:
  virtual ~LoadTarget() = default;
  // A "newObject" line opens an object; returns it where the target keeps objects, else null.
  virtual LinkNodeHolder* open() = 0;
  // A record of the open object: its lead record first, then its vertices, with w = 1.
  virtual void record(float x, float y, float z) = 0;
  // The file has been read to its end without fault.
  virtual void finish() = 0;
  // An object that open() returned, complete, which is no longer needed; kept by default.
  virtual void release(LinkNodeHolder* /*object*/) {}
};

// The target that builds a model: an object per "newObject" line, a record per record line.
class ModelTarget : public LoadTarget {
 public:
  explicit ModelTarget(LNHHolder& model) : model_(model) {}
  LinkNodeHolder* open() override;
  void record(float x, float y, float z) override { open_->add(x, y, z, 1.0f); }
  // Leaves the model's cursor on its first object.
  void finish() override { model_.reset(); }

 private:
  LNHHolder& model_;
  LinkNodeHolder* open_ = nullptr;  // owned by the model
};

// Reads a model file into a target, a block of lines (about a megabyte) per pipeline step: the
// block read in one step is parsed in the next, in two halves on two threads, and added to the
// model, in order, in the step after, while the blocks after it are read and parsed. An object
// is complete, and handed on, when the next one begins or the file ends.
//
// Every record is loaded with w = 1; fields after the third are not read. A line that is not a
// record is a RunError "PATH:LINE: what is wrong", thrown by lead(); so is a failure to read,
// once the lines before it have been added.
class ModelLoader : public ObjectSource {
 public:
  // Opens the file; what it holds goes to `target`.
  ModelLoader(const QString& path, LoadTarget& target);

  bool next() override;
  // Adds the block parsed in the step before, then parses the first half of this step's.
  void lead(std::vector<LoadedObject>* completed) override;
  // Parses the second half of this step's block, then reads the next block.
  void help() override;
  bool helpIsLarge() const override;
  // Passes the objects on to the target's release().
  void release(const std::vector<LoadedObject>& objects) override;

 private:
  struct Half {
    std::string_view text;
    std::vector<ParsedLine> parsed;
    std::string badField;  // of its first line that is notANumber
  };
  struct Block {
    std::string text;
    bool read = false;  // text holds a block to parse
    Half halves[2];
  };
  // What reading the next block came to; set by the thread that reads.
  struct Ahead {
    bool end = false;
    bool tooLong = false;  // the line after the blocks read is longer than allowed
    std::exception_ptr failure;
  };

  void read(Block& block, Ahead& ahead);
  void add(const Block& block, std::vector<LoadedObject>* completed);
  void complete(std::vector<LoadedObject>* completed);
  [[noreturn]] void lineError(long line, const QString& what) const;

  LineReader in_;
  QString where_;  // "PATH:", for messages
  LoadTarget& target_;
  Block blocks_[2];
  int newest_ = 1;            // the block parsed in this step
  bool olderParsed_ = false;  // the other block was parsed in the step before
  Ahead ahead_;               // of the read in this step
  Ahead atEnd_;               // of the reads before: no block follows the newest
  long lineNumber_ = 0;
  bool open_ = false;  // an object is being filled
  LoadedObject openInfo_{};
  size_t objects_ = 0;  // opened so far
};
