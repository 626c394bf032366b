#pragma once

#include <string>

// The manual page, vandrel.1, in troff's man macros: the synopsis, every command with its
// help, the keywords, the exit status.
std::string manPage();
