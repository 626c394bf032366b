// assemble: joins model files by copying their lines, as text, into one new model file.

#include "Console.h"
#include "Failure.h"
#include "ModelLines.h"
#include "OutputFile.h"
#include "Vandrel.h"

// An input that cannot be read is reported, and so is every other one, and the command fails
// without writing the output: a file of its name is left as it was. Inputs are read before the
// output replaces its file, so an input named like the output contributes that file's earlier
// content.
void Vandrel::assemble(const AssembleArguments& arguments) {
  OutputFile out(arguments.output + QStringLiteral(".poly"));
  bool allRead = true;
  for (const QString& input : arguments.inputs) {
    const QString fault = appendModelLines(input + QStringLiteral(".poly"), out);
    if (!fault.isEmpty()) {
      report(fault);
      allRead = false;
    }
  }
  if (!allRead) throw RunError(QString());
  out.commit();
}
