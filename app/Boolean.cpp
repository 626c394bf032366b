// union, difference, intersection: models taken as solids and combined exactly.

#include "Boolean.h"

#include "OutputFile.h"
#include "Vandrel.h"

void Vandrel::combine(const BooleanArguments& arguments) {
  QStringList paths;
  for (const QString& input : arguments.inputs) paths << input + QStringLiteral(".poly");
  const std::string text = combineModels(paths, arguments.operation);
  OutputFile out(arguments.output + QStringLiteral(".poly"));
  out.write(text);
  out.commit();
}
