#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "LinkNodeHolder.h"

// The lines of a model file, read and written without the model: the pieces of the reader and
// the writer that may run on several threads at once.

struct ParsedLine {
  enum Kind : uint8_t { blank, newObject, record, tooFewFields, notANumber, tooLong };
  Kind kind;
  uint8_t field;  // tooFewFields: how many there are; notANumber: which one is not
  float xyz[3];   // record: the first three fields
};

// A line containing "newObject" opens an object; any other line that is not blank is a record
// whose first three fields, separated by blanks or tabs, must be numbers.
ParsedLine parseLine(std::string_view line);

// The lines of a block of whole lines, parsed in order into `parsed`. A line longer than
// `longest` is tooLong, whatever it holds. The field of the first line that is notANumber goes
// to `badField`, for the message.
void parseLines(std::string_view block, size_t longest, std::vector<ParsedLine>* parsed,
                std::string* badField);

// The first `max` fields of a record line; returns how many there are.
int splitFields(std::string_view line, std::string_view* fields, int max);

// Appends "x y z w" and a line feed in the model file number format.
void appendRecord(std::string& text, double x, double y, double z, double w);

// Appends the object's lines as the writer writes them: "newObject", then every record.
void appendObject(std::string& text, LinkNodeHolder& object);
