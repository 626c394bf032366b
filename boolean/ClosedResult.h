#pragma once

#include <cstddef>
#include <string>

// Whether the text of a boolean's result is closed as `info` and `export` will read it: welded,
// or else empty. Where two inputs come closer than the weld distance without meeting exactly (a
// face turned by 90 degrees lies some 1e-14 off the plane of another that it was meant to
// touch), the exact result holds parts or steps thinner than that distance, which the weld
// flattens into faces without area and open edges; `openEdges` then says how many.
bool closedOnceWelded(const std::string& text, size_t* openEdges);
