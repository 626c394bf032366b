#pragma once

#include <cstddef>

#include "Bounds.h"
#include "Mesh.h"
#include "Parts.h"

// A mesh as it leaves vandrel for other tools: welded (Weld.h), split into parts, and every face
// turned to face outward (Parts.h), so that each part arrives as the surface it is.
struct Solid {
  Mesh mesh;            // welded; a face that faced inward reversed from its first vertex
  Parts parts;          // of the welded mesh; `reversed` says which faces were turned
  Triangles triangles;  // when asked for: the faces' triangles, outward
  size_t weldedAway = 0;
};

// The weld distance: a distance, or one of these.
constexpr double defaultWeld = -1;  // 1e-5 of the largest side of the bounding box
constexpr double noWeld = 0;        // positions shared only where their bits are equal

Solid solidOf(Mesh mesh, double weldDistance, bool withTriangles);

// The parts of a mesh as solidOf finds them, for work on the mesh as it is: every face in its
// place (one that the weld leaves without area belongs to no part) and every position's vertex
// in the welded mesh.
struct WeldedParts {
  Mesh mesh;  // welded: a face's vertices that the weld joined are one
  Parts parts;
  std::vector<uint32_t> vertex;  // per position
};
WeldedParts weldedParts(const Mesh& mesh, double weldDistance);
// The same with a distance, the weld's grid laid over `grid` (weldedVertices).
WeldedParts weldedParts(const Mesh& mesh, double distance, const Bounds& grid);

// weldedParts for the faces marked in `wanted` and those joined to them: the faces that share a
// vertex with a wanted one after the weld, and those that share one with them, and so on. Those
// faces' parts are the parts weldedParts finds, in the same order, and their positions the same
// vertices, in the same order, though not by the same numbers; every other face is in no part,
// and its positions' vertex is noVertex. The counts of `parts` are those of the joined faces;
// `mesh` is left empty. Where the wanted faces are few, so is the work: only the surfaces that
// hold them, and those that come within the weld distance of these, are welded; and where the
// surfaces lie apart, they are welded a few at a time on both threads.
constexpr uint32_t noVertex = UINT32_MAX;
WeldedParts weldedPartsNear(const Mesh& mesh, double weldDistance, const std::vector<char>& wanted);
