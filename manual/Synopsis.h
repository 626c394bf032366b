#pragma once

#include <QString>
#include <QStringList>

struct Command;

// A command's synopsis read back into what its words are: the options it takes, and for each
// position of a plain argument the kind of word that goes there, so that the manual and the
// completion say what the parser takes.
struct Synopsis {
  // The options, each with the name of its value, or an empty name for a flag: "--view VIEW".
  QStringList options;
  QStringList optionValues;
  // The kinds of the first plain arguments, then those of the group that repeats (if any),
  // each one of "model", "keyword", "exchange", "picture", "page" or "" (anything).
  QStringList fixed;
  QStringList repeated;
};

Synopsis synopsisOf(const Command& command);
