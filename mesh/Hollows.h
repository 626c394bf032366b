#pragma once

#include <cstdint>
#include <vector>

#include "Mesh.h"
#include "Parts.h"

// The hollows of a mesh's solids. A closed part lies in another when its box lies strictly
// inside the other's and its vertices and the middles of its edges and faces lie inside the
// other's surface: the surface winds once round each, clearly (Winding.h; a point on the surface,
// or shared with it, is not inside). Of a large part, a spread of them is tested.
//
// A part that lies in an odd number of others is a hollow: in the innermost of them, the part
// whose hollow it is. One inside a hollow is a solid again, one of its own.
//
// `parts` as findParts finds them before any is a hollow: every closed part turned outward.
// `solid[p]`: part p is closed and encloses a volume. Returns, per part, the part it is a
// hollow of, or Parts::noPart.
std::vector<uint32_t> hollowsOf(const Mesh& mesh, const Parts& parts,
                                const std::vector<bool>& solid);
