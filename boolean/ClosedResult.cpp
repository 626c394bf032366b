#include "ClosedResult.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "ModelText.h"
#include "Normals.h"
#include "Solid.h"
#include "Weld.h"

namespace {

// A face's vertices from its least, forward or backward: equal for two faces that run round the
// same vertices the same way.
std::vector<uint32_t> cycleOf(std::vector<uint32_t> cycle, bool backward) {
  if (backward) std::reverse(cycle.begin(), cycle.end());
  std::rotate(cycle.begin(), std::min_element(cycle.begin(), cycle.end()), cycle.end());
  return cycle;
}

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

// Whether the text, welded, is closed or empty, or is so without its flat parts: then `text`
// becomes the text without them.
bool asWelded(std::string& text, size_t* openEdges) {
  const TextMesh source = meshOfText(text);
  if (source.mesh.faceCount() == 0) return true;
  const double distance = defaultWeldDistance(source.mesh);
  const WeldedParts welded = weldedParts(source.mesh, distance);
  const Parts& parts = welded.parts;
  *openEdges = parts.openEdges;
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
  if (!anyFlat) return parts.closed;
  std::string kept;
  for (size_t f = 0; f < source.spans.size(); ++f) {
    if (parts.part[f] != Parts::noPart && !flat[parts.part[f]]) kept += source.spans[f];
  }
  const Mesh rest = meshOfText(kept).mesh;
  if (rest.faceCount() > 0) {
    const Parts restParts = weldedParts(rest, defaultWeld).parts;
    *openEdges = restParts.openEdges;
    if (!restParts.closed) return false;
  }
  text.swap(kept);
  return true;
}

// Whether p lies on the segment from a to b, between its ends, closer than `distance` to it.
bool onSegment(const Vec3& p, const Vec3& a, const Vec3& b, double distance, double* t) {
  const Vec3 along = b - a;
  const double length2 = dot(along, along);
  if (!(length2 > 0)) return false;
  *t = dot(p - a, along) / length2;
  const Vec3 off = p - a - *t * along;
  return *t > 0 && *t < 1 && dot(off, off) < distance * distance;
}

// The text welded and mended: each vertex at the position it welds to; the faces that the weld
// leaves without area left out; every vertex that lies on an edge used one way only put into the
// faces along it (the pieces beside a flattened step have vertices there that their neighbours
// lack); then the pairs of faces that run round the same vertices both ways left out (the two
// sides of a flattened sliver). None where too many edges are open for that.
std::optional<std::string> mendedText(const std::string& text) {
  const TextMesh source = meshOfText(text);
  const double distance = defaultWeldDistance(source.mesh);
  const WeldedParts welded = weldedParts(source.mesh, distance);
  const Mesh& mesh = welded.mesh;
  std::vector<std::vector<uint32_t>> faces;
  std::vector<size_t> from;  // the face of the text each comes from
  std::vector<char> used(mesh.positions.size(), 0);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    if (welded.parts.part[f] == Parts::noPart) continue;
    faces.emplace_back(mesh.face(f), mesh.face(f) + mesh.faceSize(f));
    from.push_back(f);
    for (uint32_t v : faces.back()) used[v] = 1;
  }
  const auto key = [](uint32_t a, uint32_t b) { return uint64_t{a} << 32 | b; };
  std::map<uint64_t, int> edges;  // directed edge: how many faces run along it
  for (const auto& face : faces) {
    for (size_t i = 0; i < face.size(); ++i) ++edges[key(face[i], face[(i + 1) % face.size()])];
  }
  // Each edge used one way only is looked along for every vertex: for a few, where the weld
  // flattened a sliver or a step, not for a surface of them.
  const auto isOpen = [&](uint32_t a, uint32_t b) {
    const auto back = edges.find(key(b, a));
    return back == edges.end() || back->second < edges[key(a, b)];
  };
  size_t open = 0;
  for (const auto& face : faces) {
    for (size_t i = 0; i < face.size(); ++i) open += isOpen(face[i], face[(i + 1) % face.size()]);
  }
  if (open * mesh.positions.size() > 100000000) return std::nullopt;
  for (auto& face : faces) {
    std::vector<uint32_t> mended;
    for (size_t i = 0; i < face.size(); ++i) {
      const uint32_t a = face[i], b = face[(i + 1) % face.size()];
      mended.push_back(a);
      if (!isOpen(a, b)) continue;
      std::vector<std::pair<double, uint32_t>> on;
      for (uint32_t v = 0; v < mesh.positions.size(); ++v) {
        double t = 0;
        if (used[v] && v != a && v != b &&
            onSegment(toVec3(mesh.positions[v]), toVec3(mesh.positions[a]),
                      toVec3(mesh.positions[b]), distance, &t)) {
          on.emplace_back(t, v);
        }
      }
      std::sort(on.begin(), on.end());
      for (const auto& [t, v] : on) mended.push_back(v);
    }
    face.swap(mended);
  }
  std::vector<bool> kept(faces.size(), true);
  std::map<std::vector<uint32_t>, std::vector<size_t>> unmatched;  // faces by their cycle
  for (size_t f = 0; f < faces.size(); ++f) {
    auto reverse = unmatched.find(cycleOf(faces[f], true));
    if (reverse != unmatched.end() && !reverse->second.empty()) {
      kept[reverse->second.back()] = kept[f] = false;
      reverse->second.pop_back();
      continue;
    }
    unmatched[cycleOf(faces[f], false)].push_back(f);
  }
  std::string out;
  for (size_t f = 0; f < faces.size(); ++f) {
    if (!kept[f]) continue;
    // "newObject" and the lead record, as the face had them.
    const std::string_view span = source.spans[from[f]];
    size_t lead = span.find('\n');
    lead = lead == std::string_view::npos ? span.size() : span.find('\n', lead + 1);
    out += span.substr(0, lead == std::string_view::npos ? span.size() : lead + 1);
    for (uint32_t v : faces[f]) {
      const Position& p = mesh.positions[v];
      appendRecord(out, p.x, p.y, p.z, 1);
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> closedOnceWelded(std::string text, size_t* openEdges) {
  if (asWelded(text, openEdges)) return text;
  std::optional<std::string> mended = mendedText(text);
  size_t left = 0;
  if (mended && asWelded(*mended, &left)) return mended;
  return std::nullopt;
}
