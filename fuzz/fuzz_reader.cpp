// Fuzzes the model file reader: any bytes give a model or a clean failure, and a model that
// was read is written, read and written again to the same bytes.

#include "Failure.h"
#include "FuzzFiles.h"
#include "Vandrel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  writeFuzzFile("in.poly", data, size);
  Vandrel first;
  try {
    first.loadFile(fuzzPath("in"));
  } catch (const Failure&) {
    return 0;
  }
  first.writeFile(fuzzPath("once"));
  Vandrel second;
  second.loadFile(fuzzPath("once"));
  second.writeFile(fuzzPath("twice"));
  if (readFuzzFile("once.poly") != readFuzzFile("twice.poly")) std::abort();
  return 0;
}
