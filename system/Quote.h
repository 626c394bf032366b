#pragma once

#include <QString>
#include <string_view>

// Names and echoed text in messages, quoted the way coreutils quotes them (its shell-escape
// style), so that a message stays on one line and sends no control character to a terminal:
// 'a b', "it's", 'a'$'\n''b', and bytes that are not UTF-8 as octal escapes ($'\377').

// Always quoted: cannot open 'm.poly'.
QString quoted(std::string_view utf8);
QString quoted(const QString& text);
// Quoted only where the text holds anything but letters, digits and -_./+,:@%=: the file in a
// "FILE:LINE: ..." prefix.
QString quotedIfNeeded(const QString& text);
// A field echoed from a file: at most 40 characters, then "..." when it was longer.
QString quotedField(std::string_view utf8);
// Text for the middle of a message: control characters, backslashes and bytes that are not
// UTF-8 as octal escapes (\033), without quotes.
QString escaped(std::string_view utf8);
