#include "MeshFile.h"

#include "ModelFile.h"
#include "ModelMesh.h"

Mesh readMesh(const QString& path) { return meshOf(*readModel(path)); }
