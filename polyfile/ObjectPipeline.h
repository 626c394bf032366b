#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "LinkNodeHolder.h"

class OutputFile;

// An object of a model whose records are all in place, with its cursor on the lead record, as
// the commands that work object by object see it.
struct LoadedObject {
  LinkNodeHolder* object;
  size_t index;    // its number in the model, from 1
  long line;       // the line of its "newObject" in the model file; 0 when not read from one
  size_t records;  // the lead record included
  // Which part of its text a format is to make: slice `slice` of `slices` (ObjectSlices).
  uint32_t slice = 0;
  uint32_t slices = 1;
};

// Where the objects of a pipeline come from: a model file being read, or a model in memory. The
// pipeline runs in steps; each step does the source's work on two threads, lead() on this one
// and help() on a second one, at the same time as it formats the objects of the step before.
class ObjectSource {
 public:
  virtual ~ObjectSource() = default;
  // Readies the work of the next step; false when the source has nothing more to do.
  virtual bool next() = 0;
  // Appends the objects that this step completes, in order.
  virtual void lead(std::vector<LoadedObject>* completed) = 0;
  // Work that can go on beside lead(); none by default.
  virtual void help() {}
  // Whether this step's help() is worth a thread of its own.
  virtual bool helpIsLarge() const { return false; }
  // The objects of a step that the pipeline is done with (their text made, or none to make);
  // called between steps, on this thread, while no other work runs. None by default.
  virtual void release(const std::vector<LoadedObject>& /*objects*/) {}
};

// Turns objects [first, last) into text appended to `text`. It runs on two threads at once, on
// different objects, and must not change anything but those objects. A RunError is a fault of
// the model and ends the command.
using ObjectFormat =
    std::function<void(const LoadedObject* first, const LoadedObject* last, std::string* text)>;

// How many slices the text of an object is made in, each by a call of its own, so that both
// threads share a large object and no one string holds all of its text; 1 for the whole object
// at once. A sliced object comes to the format alone, with `slice` and `slices` set; the slices'
// texts, in order, are the object's text.
using ObjectSlices = std::function<uint32_t(const LoadedObject&)>;

// Takes every object from `source` and, if `format` is given, writes its text to `out` in the
// order of the objects. Three steps overlap: while the source completes the objects of one
// batch, the objects of the batch before are formatted on both threads, and the text of the
// batch before that is written; then each chunk of the batch being formatted is written as soon
// as it and all before it are, so that a large object's text is not held whole.
//
// The failures are those of the same work done one stage after the other: a failure of the
// source (a bad line of a model file) is thrown as soon as it is met; one of `format`, the
// earliest object's, or one of `out` once the source is done. When both `format` and `out` fail,
// `first` says which is thrown: a command that works the whole model out before it writes meets
// the model's faults first, one that writes as it goes meets the output's (a chunk is written
// only when it and all before it have been formatted).
enum class FirstFault { model, output };
void runPipeline(ObjectSource& source, OutputFile* out, const ObjectFormat* format,
                 FirstFault first = FirstFault::model, const ObjectSlices* slices = nullptr);
