#pragma once

#include <cstdint>
#include <vector>

#include "Vec3.h"

// Caps: the polygons that close a solid where a plane has cut it.
//
// Clipping the faces of a closed solid leaves, in the plane, the edges that take the place of
// what each face lost. Turned round, those are the cut edges: joined end to end they run round
// the cut, counter-clockwise seen from the side that was cut away, each hole of the cut
// clockwise. The ends of cut edges are named by keys, equal where the faces met in the solid,
// so that the loops close whatever rounding their positions had.

struct CutEdge {
  uint64_t from, to;   // keys of the ends
  Vec3 start, end;     // their positions
  bool cut = true;     // made by the cut, not an edge the face had
  bool along = false;  // an edge the face had, in the plane
};

// The cap polygons of one solid's cut edges in a plane of normal `normal`, facing against it:
// each outer loop with the holes inside it bridged in (Bridge.h). An edge met once each way
// cancels; a loop without area, or one that does not close, gives nothing. The edges are taken
// in their order, so that the same edges give the same polygons.
std::vector<std::vector<Vec3>> capPolygons(std::vector<CutEdge> edges, const Vec3& normal);

// A clipped face put right. Where a face runs back and forth across the plane, its cut edges
// overlap each other along the plane, and the polygon clipped from it runs out and back along
// slits there. splitCutEdges splits the cut edges where another one, or an edge along the plane,
// ends on them (returning
// whether it did); they are then the face's share of the cap's edges. mendedFace cancels the
// pairs of edges run both ways of which one is a cut edge and joins what is left into polygons
// facing `facing`, as the caps are; it returns false, and no polygons, where nothing was split
// or cancelled: the face is right as it was.
bool splitCutEdges(std::vector<CutEdge>& edges);
bool mendedFace(std::vector<CutEdge> edges, bool split, const Vec3& facing,
                std::vector<std::vector<Vec3>>* polygons);

// The edges joined end to end into loops, where several leave one end taking the one that turns
// most to the left, and those loops as polygons facing `facing`: each outer loop (counter-clockwise
// seen from that side) with the holes inside it bridged in. A loop that does not close, or has no
// area, gives nothing.
std::vector<std::vector<Vec3>> loopPolygons(const std::vector<CutEdge>& edges, const Vec3& facing);
