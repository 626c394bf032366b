#include "ClosedResult.h"

#include <cmath>
#include <string_view>
#include <vector>

#include "ModelText.h"
#include "Normals.h"
#include "Solid.h"
#include "Weld.h"

namespace {

// The faces of a model file's text, each vertex a position of its own, and the span of text
// that each face takes.
struct TextMesh {
  Mesh mesh;
  std::vector<std::string_view> spans;
};

TextMesh meshOfText(const std::string& text) {
  TextMesh out;
  std::vector<uint32_t> face;
  bool open = false, lead = false;
  size_t begin = 0;
  const auto close = [&](size_t end) {
    if (open) {
      out.mesh.addFace(face.data(), face.size(), Mesh::noColour);
      out.spans.emplace_back(text.data() + begin, end - begin);
    }
    face.clear();
  };
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end + 1;
    const ParsedLine parsed = parseLine(std::string_view(text.data() + at, end - at));
    if (parsed.kind == ParsedLine::newObject) {
      close(at);
      open = lead = true;
      begin = at;
    } else if (parsed.kind == ParsedLine::record && open) {
      if (lead) {
        lead = false;  // the lead record
      } else {
        face.push_back(static_cast<uint32_t>(out.mesh.positions.size()));
        out.mesh.positions.push_back({parsed.xyz[0], parsed.xyz[1], parsed.xyz[2]});
      }
    }
    at = end;
  }
  close(text.size());
  return out;
}

// Whether the welded text is closed, or empty; else how many edges it leaves open.
bool closed(const Mesh& mesh, size_t* openEdges) {
  if (mesh.faceCount() == 0) return true;
  const Parts parts = weldedParts(mesh, defaultWeld).parts;
  *openEdges = parts.openEdges;
  return parts.closed;
}

}  // namespace

std::optional<std::string> closedOnceWelded(const std::string& text, size_t* openEdges) {
  const TextMesh source = meshOfText(text);
  if (source.mesh.faceCount() == 0) return text;
  const double distance = defaultWeldDistance(source.mesh);
  const WeldedParts welded = weldedParts(source.mesh, distance);
  const Parts& parts = welded.parts;
  // A part is flat where its volume is less than a sheet a thousandth of the distance thick
  // would hold: any solid part that the weld leaves is at least about the distance thick.
  std::vector<double> area(parts.parts.size(), 0);
  for (size_t f = 0; f < welded.mesh.faceCount(); ++f) {
    if (parts.part[f] == Parts::noPart) continue;
    const Vec3 n =
        newellNormal(welded.mesh.positions, welded.mesh.face(f), welded.mesh.faceSize(f));
    area[parts.part[f]] += std::sqrt(dot(n, n)) / 2;
  }
  std::vector<bool> flat(parts.parts.size(), false);
  bool anyFlat = false;
  for (size_t p = 0; p < parts.parts.size(); ++p) {
    flat[p] = parts.parts[p].closed && std::fabs(parts.parts[p].volume) < 1e-3 * distance * area[p];
    anyFlat = anyFlat || flat[p];
  }
  if (!anyFlat) {
    *openEdges = parts.openEdges;
    if (parts.closed) return text;
    return std::nullopt;
  }
  std::string kept;
  for (size_t f = 0; f < source.spans.size(); ++f) {
    if (parts.part[f] != Parts::noPart && !flat[parts.part[f]]) kept += source.spans[f];
  }
  if (!closed(meshOfText(kept).mesh, openEdges)) return std::nullopt;
  return kept;
}
