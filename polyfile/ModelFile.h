#pragma once

#include <QString>
#include <memory>

#include "Failure.h"
#include "LNHHolder.h"
#include "ObjectPipeline.h"

class OutputFile;

// Whole model files in and out: the reader builds a model, the writer writes one, and a stream
// turns one file into another object by object while the first is read (ObjectPipeline.h).
// Failures are RunErrors; nothing here prints.

// The model in the file at `path`, its cursor on the first object.
std::unique_ptr<LNHHolder> readModel(const QString& path);

// Appends every object of the model to `out`, as model files hold them; leaves the model's
// cursor on its first object.
void writeModel(LNHHolder& model, OutputFile& out);
// Appends the text that `format` makes of every object of the model to `out`.
void writeObjects(LNHHolder& model, OutputFile& out, const ObjectFormat& format);

// "PATH: result out of range (object N)", N from 1: a command's result beyond the range of a
// float, which model files do not hold.
RunError resultOutOfRange(const QString& path, size_t object);

// The model file at `sourcePath`, read and formatted object by object into `outputPath` while it
// is read, then committed. `first` as for runPipeline, also for a failure to make the output;
// `slices`, if given, cuts large objects into slices (ObjectSlices).
void streamFile(const QString& sourcePath, const QString& outputPath, const ObjectFormat& format,
                FirstFault first, const ObjectSlices& slices = nullptr);
