// Fuzzes the model commands: transform, extrude, rot and clip each run on the fuzzed model
// file, as the program runs them, in a private temporary folder, and export to 3MF and OBJ,
// which weld the mesh, find its parts and turn them outward. Failures are fine; crashes,
// sanitizer reports and leaks are not.

#include <QByteArray>
#include <vector>

#include "Failure.h"
#include "FuzzFiles.h"
#include "Vandrel.h"

namespace {

void run(std::vector<QByteArray> words) {
  std::vector<char*> argv;
  for (QByteArray& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  try {
    Vandrel command(static_cast<int>(words.size()), argv.data());
  } catch (const Failure&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  writeFuzzFile("m.poly", data, size);
  const QByteArray model = fuzzPath("m").toLocal8Bit();
  const QByteArray out = fuzzPath("out").toLocal8Bit();
  run({"vandrel", "create", out, model, "XT", "1", "ZD", "30", "US", "0.5"});
  run({"vandrel", "extrude", model, out, "2"});
  run({"vandrel", "rot", model, out, "1", "2", "-3", "0.5", "0", "1", "3", "360"});
  run({"vandrel", "clip", model, out, "1", "-1", "0.5", "0.25", "0", "0"});
  const QByteArray file = fuzzPath("out.3mf").toLocal8Bit();
  run({"vandrel", "export", model, file});
  run({"vandrel", "export", model, fuzzPath("out.obj").toLocal8Bit(), "--weld", "0.5"});
  return 0;
}
