// Fuzzes one importer, chosen when the target is built (READER, and BINARY for glTF): any
// bytes give a mesh whose faces name existing vertices, or a FormatError; never a crash, a
// sanitizer report or a hang.

#include <cstdlib>
#include <string>
#include <string_view>

#include "Formats.h"

namespace {

Mesh read(std::string_view bytes, Skipped* skipped) {
  const auto noNeighbours = [](const std::string&, std::string*) { return false; };
  static_cast<void>(noNeighbours);
  return READER;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Skipped skipped;
  try {
    const Mesh mesh = read(std::string_view(reinterpret_cast<const char*>(data), size), &skipped);
    for (uint32_t v : mesh.corners) {
      if (v >= mesh.positions.size()) std::abort();
    }
    if (mesh.faceStart.size() != mesh.faceCount() + 1) std::abort();
  } catch (const FormatError&) {
  }
  return 0;
}
