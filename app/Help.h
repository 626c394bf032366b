#pragma once

#include <QString>

struct Command;

// The candidate nearest to what was typed, within two single-character edits (case aside)
// and no more than half its length, or an empty string where none is that near.
QString nearestWord(const QString& typed, const char* const* first, const char* const* last);

// "unknown command 'WORD'", with the nearest command, if one is near, and where to look.
QString unknownCommand(const char* word);

// "usage: vandrel WORD SYNOPSIS".
QString usageLine(const Command& command);

// A command's help: synopsis, what it does, its arguments and what it writes, an example.
QString commandHelp(const Command& command);

// The program's help: every command with one line.
QString helpText();

// What every command shares: the keywords, the weld distance, the exit status.
QString helpNotes();
