#pragma once

#include <vector>

#include "Arguments.h"
#include "Transformation.h"

// Transformation keyword lists: XT 2 ZD 90 ... Each keyword takes one value and stands for one
// step: XT YT ZT translate, XS YS ZS US scale, XD YD ZD turn by degrees, XR YR ZR by radians.

// Radians to degrees as the radian keywords convert them: with 180 / 3.1415926535897 (not the
// exact degrees per radian), rounded to float.
double keywordDegrees(float radians);

// Every keyword, in the order XT YT ZT XS YS ZS US XD YD ZD XR YR ZR.
std::vector<const char*> keywordWords();

// The steps from words[first] on, each multiplied onto the right of `start`, so that they act
// in command-line order. Throws a UsageError for an unknown keyword, a missing value, a value
// that is not a finite number, and a list whose matrix is no longer finite.
Transformation parseKeywords(Words words, int first, Transformation start);
