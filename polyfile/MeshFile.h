#pragma once

#include <QString>

#include "Mesh.h"

// The mesh of the model file at `path` (ModelMesh.h): each object one face, positions that are
// equal bit for bit one shared vertex, lead records read as colours. Failures as the model
// reader's.
Mesh readMesh(const QString& path);
