#include "ClosedResult.h"

#include <string_view>
#include <vector>

#include "ModelText.h"
#include "Solid.h"

namespace {

// The faces of a model file's text, each vertex a position of its own.
Mesh meshOfText(const std::string& text) {
  Mesh mesh;
  std::vector<uint32_t> face;
  bool open = false, lead = false;
  const auto close = [&]() {
    if (open) mesh.addFace(face.data(), face.size(), Mesh::noColour);
    face.clear();
  };
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const ParsedLine parsed = parseLine(std::string_view(text.data() + at, end - at));
    at = end + 1;
    if (parsed.kind == ParsedLine::newObject) {
      close();
      open = lead = true;
    } else if (parsed.kind == ParsedLine::record && open) {
      if (lead) {
        lead = false;  // the lead record
      } else {
        face.push_back(static_cast<uint32_t>(mesh.positions.size()));
        mesh.positions.push_back({parsed.xyz[0], parsed.xyz[1], parsed.xyz[2]});
      }
    }
  }
  close();
  return mesh;
}

}  // namespace

bool closedOnceWelded(const std::string& text, size_t* openEdges) {
  const Mesh mesh = meshOfText(text);
  if (mesh.faceCount() == 0) return true;
  const Parts parts = weldedParts(mesh, defaultWeld).parts;
  *openEdges = parts.openEdges;
  return parts.closed;
}
