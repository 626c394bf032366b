// Fuzzes the 3MF reader's model part: the bytes are the part's XML, packed into a package (stored,
// not deflated, so that every byte reaches the XML scanner) with the relationships that name it.
// Any bytes give a mesh whose faces name existing vertices, or a FormatError; never a crash, a
// sanitizer report or a hang.

#include <cstdlib>
#include <string>
#include <string_view>

#include "Formats.h"
#include "ZipWriter.h"

namespace {

std::string package(std::string_view model) {
  std::string bytes;
  ByteWriter out([&bytes](std::string_view piece) { bytes.append(piece); });
  {
    ZipWriter zip(out);
    zip.begin("_rels/.rels", false);
    zip.write(R"(<Relationships><Relationship Target="/3D/3dmodel.model" Id="rel0" )"
              R"(Type="http://schemas.microsoft.com/3dmanufacturing/2013/01/3dmodel"/>)"
              R"(</Relationships>)");
    zip.end();
    zip.begin("3D/3dmodel.model", false);
    zip.write(model);
    zip.end();
    zip.finish();
  }
  out.flush();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Skipped skipped;
  try {
    const std::string bytes = package(std::string_view(reinterpret_cast<const char*>(data), size));
    const Mesh mesh = read3mf(bytes, &skipped);
    for (uint32_t v : mesh.corners) {
      if (v >= mesh.positions.size()) std::abort();
    }
    if (mesh.faceStart.size() != mesh.faceCount() + 1) std::abort();
  } catch (const FormatError&) {
  }
  return 0;
}
