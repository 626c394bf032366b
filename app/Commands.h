#pragma once

#include <QString>
#include <cstddef>

#include "Arguments.h"

class Vandrel;

// One command of the program: how many words it takes, the text of its help, and how it runs.
// The parser, the help, the manual page and the shell completion all read this one table.
struct Command {
  const char* word;
  int fewest;             // words after the command word
  int most;               // the same, or -1 for no limit
  const char* arguments;  // the synopsis after the command word
  const char* summary;    // one line; FORMATS stands for the list of formats
  void (*run)(Vandrel& driver, Words words);
  const char* details;  // the arguments, their units and ranges, and what is written
  const char* example;
};

// Every command, in the order they are matched (exactly, case-sensitively) and listed.
struct CommandList {
  const Command* first;
  const Command* last;
  const Command* begin() const { return first; }
  const Command* end() const { return last; }
};
CommandList allCommands();

// The command of that word, or null.
const Command* commandNamed(const QString& word);

// The text with FORMATS replaced by the list of formats.
QString withFormats(const char* text);
