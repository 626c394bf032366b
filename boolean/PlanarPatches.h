#pragma once

#include <cstdint>
#include <vector>

#include "Labels.h"
#include "Vec3.h"

// Corefinement triangulates a cut face with every point where the other surface's edges cross
// it, and a face cut again and again keeps them all: where solids share a plane (the tops of
// prisms standing on one floor), the triangles of each union carry the inner edges of every
// earlier one, and their number grows with the square of the solids'. This takes them out.
//
// A patch is a set of triangles of cut faces of one lead record (Labels::kin), joined across
// their edges, that lie in one plane: the pieces of one face, and the pieces of faces of one
// colour that the union made one. Its triangles are replaced by a constrained Delaunay
// triangulation of its outline: the same region, bounded by the same vertices so that the
// surface stays closed, without the vertices inside it, all with the label of its first
// triangle. A patch whose outline cannot be triangulated in its plane keeps its triangles.
// Positions are doubles, as the exact predicates take them.
//
// corners: three vertex indices per triangle; labels: one per triangle. Both are rewritten; the
// triangles outside patches keep their order.
void retriangulatePlanarPatches(const std::vector<Vec3>& positions, std::vector<uint32_t>* corners,
                                std::vector<uint32_t>* labels, const Labels& known);
