#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "Mesh.h"

class OutputFile;

// The mesh of the model file at `path` (ModelMesh.h): each object one face, positions that are
// equal bit for bit one shared vertex, lead records read as colours. Failures as the model
// reader's. With `leads`, each face's lead record is appended there as it was read (0 0 0 for an
// object without records).
Mesh readMesh(const QString& path, std::vector<Position>* leads = nullptr);

// Writes the model file of a mesh at `path`, as the model writer would write the model that has
// an object per face: "newObject", the lead record (the face's colour and 1, or -1 -1 2 1), then
// the vertices with w = 1.
void writeMeshModel(const Mesh& mesh, const QString& path);

// Appends to `out` the text that format(first, last, text) makes of faces [first, last), for every
// face from 0 to `count`, in order: chunks of faces that both threads take in turn, a step of
// them at a time, the text of each step written while the next is made.
using FaceFormat = std::function<void(size_t first, size_t last, std::string* text)>;
void writeFacesInParallel(OutputFile& out, size_t count, const FaceFormat& format);
