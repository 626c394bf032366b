#pragma once

#include <string>

// The geometry layer's fatal checks end here: the text goes to standard error, flushed, and the
// process ends with exit status 200. `text` carries its own line ends, if any.
[[noreturn]] void geometryFatal(const std::string& text);
