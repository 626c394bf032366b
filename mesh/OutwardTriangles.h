#pragma once

#include "Mesh.h"

// The triangles of every face (Triangulate.h), turned so that closed shells face outward
// (Shells.h): what the triangle formats write and pictures draw.
Triangles outwardTriangles(const Mesh& mesh);
