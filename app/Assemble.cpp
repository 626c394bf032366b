// assemble: joins model files by copying their lines, as text, into one new model file.

#include <optional>
#include <string_view>

#include "Failure.h"
#include "LineReader.h"
#include "OutputFile.h"
#include "Vandrel.h"

namespace {

bool isAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

// An input that cannot be read is reported and passed over, and the command then fails after
// writing the output, as cat does. Inputs are read before the output replaces its file, so an
// input named like the output contributes that file's earlier content.
void Vandrel::assemble(const AssembleArguments& arguments) {
  OutputFile out(arguments.output + QStringLiteral(".poly"));
  bool allRead = true;
  for (const QString& input : arguments.inputs) {
    // A failure to read an input is reported and passed over; one to write is not caught here.
    std::optional<LineReader> in;
    try {
      in.emplace(input + QStringLiteral(".poly"));
    } catch (const RunError& error) {
      report(QString::fromStdString(error.what()));
      allRead = false;
      continue;
    }
    std::string_view line;
    for (;;) {
      try {
        if (!in->next(&line)) break;
      } catch (const RunError& error) {
        report(QString::fromStdString(error.what()));
        allRead = false;
        break;
      }
      if (isAscii(line)) {
        out.write(line);
      } else {  // decoded and encoded again, as a text stream does with malformed UTF-8
        out.writeText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
      }
      out.write("\n");
    }
  }
  out.commit();
  if (!allRead) throw RunError(QString());
}
