// Fuzzes the model commands: transform, extrude, rot, clip and clip --cap each run on the fuzzed
// model file, as the program runs them, in a private temporary folder; export of it to 3MF and
// OBJ and of its extrusion to glTF, which weld the mesh, find its parts and their hollows, turn
// them outward and triangulate them; then the union and the difference of the extrusion and a
// copy of it moved aside, which take closed parts, refuse the rest and refuse surfaces that cross
// themselves. Failures are fine; crashes, sanitizer reports and leaks are not.

#include <QByteArray>
#include <QFile>
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
  const QByteArray prism = fuzzPath("prism").toLocal8Bit();
  // What an earlier input made is not this one's: a failed extrusion leaves nothing to combine.
  for (const char* name : {"prism.poly", "moved.poly"}) QFile::remove(fuzzPath(name));
  run({"vandrel", "extrude", model, prism, "2"});
  run({"vandrel", "rot", model, out, "1", "2", "-3", "0.5", "0", "1", "3", "360"});
  run({"vandrel", "clip", model, out, "1", "-1", "0.5", "0.25", "0", "0"});
  run({"vandrel", "clip", model, out, "1", "-1", "0.5", "0.25", "0", "0", "--cap"});
  const QByteArray file = fuzzPath("out.3mf").toLocal8Bit();
  run({"vandrel", "export", model, file});
  run({"vandrel", "export", model, fuzzPath("out.obj").toLocal8Bit(), "--weld", "0.5"});
  run({"vandrel", "export", prism, fuzzPath("out.glb").toLocal8Bit()});
  const QByteArray moved = fuzzPath("moved").toLocal8Bit();
  const QByteArray result = fuzzPath("result").toLocal8Bit();
  run({"vandrel", "create", moved, prism, "XT", "0.3", "YT", "0.2", "ZT", "0.1"});
  run({"vandrel", "union", prism, moved, result});
  run({"vandrel", "difference", prism, moved, result});
  return 0;
}
