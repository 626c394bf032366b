#pragma once

#include "LNHHolder.h"
#include "Mesh.h"

// The mesh of a model: each object one face, its vertices in order; positions that are equal
// bit for bit one shared vertex. An object whose lead record holds three values in 0..1 has
// that colour (red, green, blue); any other lead record, the default -1 -1 2 among them, none.
Mesh meshOf(LNHHolder& model);

// The colour a lead record stands for, by the convention above; false when it stands for none.
bool leadColour(float x, float y, float z, Colour* colour);
