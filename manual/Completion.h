#pragma once

#include <string>

// The bash completion script: command words, each command's options and the values of
// --view, model names (NAME for NAME.poly), keywords, and file names by extension where a
// command takes a file.
std::string completionScript();
