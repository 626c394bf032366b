#pragma once

#include <QString>
#include <vector>

#include "ExactSolid.h"

// The union of solids, none crossing itself: solids apart from each other (their boxes apart)
// are put together as they are, the others united pairwise, as a balanced tree, so that each
// union works on solids of like size. A failure names `name`.
ExactSolid uniteAll(std::vector<ExactSolid> solids, Labels* labels, const QString& name);

// Combines `a` with `b` (ExactSolid::combine); a result that the library cannot make closed, or
// solids that meet in a way it does not handle, is a RunError naming `name`.
void combineOrFail(ExactSolid& a, ExactSolid& b, ExactSolid::Operation operation, Labels* labels,
                   const QString& name);
