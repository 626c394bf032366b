#pragma once

#include <vector>

#include "ExactSolid.h"
#include "SolidNames.h"

// The union of solids, none crossing itself: solids apart from each other (their boxes apart)
// are put together as they are, the others united pairwise, as a balanced tree, so that each
// union works on solids of like size. A failure names the files of the solids it meets (`names`).
ExactSolid uniteAll(std::vector<ExactSolid> solids, Labels* labels, const SolidNames& names);

// The solid of one model's parts, each facing out and none crossing itself. Parts whose surfaces
// neither cross nor meet are that solid as they lie, a part inside an odd number of the others
// bounding a hollow (as a difference writes one): it is turned to face into it. Parts that cross
// or meet are united.
ExactSolid solidOfParts(std::vector<ExactSolid> parts, Labels* labels, const SolidNames& names);

// Combines `a` with `b` (ExactSolid::combine); a result that the library cannot make closed, or
// solids that meet in a way it does not handle, is a RunError naming the files that `a` and `b`
// come from.
void combineOrFail(ExactSolid& a, ExactSolid& b, ExactSolid::Operation operation, Labels* labels,
                   const SolidNames& names);
