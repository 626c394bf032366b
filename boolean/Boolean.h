#pragma once

#include <QStringList>
#include <string>

#include "ExactSolid.h"

// union, difference and intersection of model files taken as solids (SolidModel.h): `unite` and
// `intersect` combine every input, `subtract` takes the first input less the union of the others.
// Returns the result as model file text: a face of an input that the operation did not cut comes
// out as it was (its vertices and lead record, turned round from its first vertex where it faced
// inward); a cut face comes out as its pieces, one polygon each (holes bridged in), each with the
// lead record of the face it came from. An empty result is empty text. A refusal names the input
// files whose solids it could not combine.
std::string combineModels(const QStringList& paths, ExactSolid::Operation operation);
