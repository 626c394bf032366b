#pragma once

#include <QString>

class OutputFile;

// Copies the lines of the model file at `path` to `out` as text, each ended by a line feed, a
// block of about a megabyte at a time: assemble's copy. A line that is not ASCII is decoded and
// encoded again, as a text stream does with malformed UTF-8.
//
// A fault of the input (the file cannot be opened or read, or holds a line longer than
// LineReader::longestLine) ends the copy where it is met and is returned as its message, so that
// the caller can go on with other inputs; an empty message means the whole file was copied. A
// failure to write is thrown, as a RunError.
QString appendModelLines(const QString& path, OutputFile& out);
