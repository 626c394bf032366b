#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Bounds.h"
#include "Mesh.h"

// Welding: positions closer together than a distance become one vertex, so that copies of a
// point made by different paths (turned keywords, rot, clip) join the faces that meet there.
// Six significant digits, the model file's precision, are good to about 1e-5 of a model's
// extent: that is the default distance.

// 1e-5 of the largest side of the mesh's bounding box; 0 for a mesh without extent.
double defaultWeldDistance(const Mesh& mesh);

// Joins every position to the first one before it (in the order of the positions) that lies
// closer than `distance`, and keeps only the positions the faces still use, in their order.
// Within a face, a vertex that now repeats the one before it goes. A face of three or more
// vertices that had area and has none after the welding is left out; their count is returned.
// Distance 0 leaves the mesh as it is: its positions are shared only where their bits are equal.
// Linear time: each position is compared only with the kept positions in its cell of a grid and
// the neighbouring cells it lies close to, and those are few, being the distance apart.
size_t weld(Mesh& mesh, double distance);

// The vertex each position becomes: the index, among the positions kept (in their order), of the
// one it joins. Distance 0 joins none: every position is its own vertex.
std::vector<uint32_t> weldedVertices(const Mesh& mesh, double distance);
// The same, with the grid laid over `grid` rather than the mesh's own bounds: some of a mesh's
// positions, in their order, welded as they are in the whole mesh, where the positions closer
// than `distance` to any of them are among them and `grid` is the whole mesh's bounds.
std::vector<uint32_t> weldedVertices(const Mesh& mesh, double distance, const Bounds& grid);
