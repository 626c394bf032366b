#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The text of a boolean's result as `info` and `export` will read it: welded. Where two inputs
// come closer than the weld distance without meeting exactly (a face turned by 90 degrees lies
// some 1e-14 off the plane of another that it was meant to touch), the exact result holds parts
// or steps thinner than that distance, which the weld flattens.
//
// Returns `text` as it is where, welded, it is closed or empty. Where the weld flattens whole parts
// into sheets without volume (the solids only touched, but for the rounding), the text without
// them and without the faces that the weld leaves without area, if that is closed or empty.
// Where the weld leaves edges open, the text welded and mended, if that is closed or empty (see
// mendedText). Else none, and `openEdges` says how many edges the weld leaves open.
std::optional<std::string> closedOnceWelded(std::string text, size_t* openEdges);
