#include "Boolean.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <unordered_map>

#include "Cap.h"
#include "ClosedResult.h"
#include "Failure.h"
#include "ModelText.h"
#include "Normals.h"
#include "SolidModel.h"
#include "Unite.h"

namespace {

using Operation = ExactSolid::Operation;

// Where a label leads: the model and its face.
struct Origin {
  const SolidModel* model;
  uint32_t face;
};

Vec3 faceNormal(const Mesh& mesh, uint32_t face) {
  return newellNormal(mesh.positions, mesh.face(face), mesh.faceSize(face));
}

void appendFace(std::string& text, const std::array<float, 4>& lead,
                const std::vector<Vec3>& vertices) {
  text += "newObject\n";
  appendRecord(text, lead[0], lead[1], lead[2], lead[3]);
  for (const Vec3& v : vertices) appendRecord(text, v.x, v.y, v.z, 1);
}

// The result's triangles gathered into faces by label, and each face into its connected pieces.
class ResultFaces {
 public:
  ResultFaces(const ExactSolid::Triangles& result, const std::vector<Origin>& origins,
              const std::vector<char>& split)
      : result_(result), origins_(origins), split_(split) {}

  std::string text() {
    const size_t count = result_.labels.size();
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](uint32_t a, uint32_t b) {
      return result_.labels[a] < result_.labels[b];
    });
    std::string text;
    for (size_t first = 0; first < count;) {
      size_t last = first;
      const uint32_t label = result_.labels[order[first]];
      while (last < count && result_.labels[order[last]] == label) ++last;
      writeFace(label, order.data() + first, last - first, text);
      first = last;
    }
    return text;
  }

 private:
  Vec3 at(uint32_t triangle, int corner) const {
    return result_.positions[result_.corners[3 * triangle + uint32_t(corner)]];
  }
  Vec3 normalOf(uint32_t triangle) const {
    return cross(at(triangle, 1) - at(triangle, 0), at(triangle, 2) - at(triangle, 0));
  }

  void writeFace(uint32_t label, const uint32_t* triangles, size_t count, std::string& text) {
    const Origin& origin = origins_[label];
    const SolidModel& model = *origin.model;
    const auto& lead = model.leads[origin.face];
    const Mesh& mesh = model.mesh;
    if (!split_[label] && count == model.triangleCount[origin.face]) {
      // Whole: the face as it was, turned round where the result has it the other way.
      std::vector<Vec3> vertices;
      const uint32_t* v = mesh.face(origin.face);
      for (uint32_t i = 0; i < mesh.faceSize(origin.face); ++i) {
        vertices.push_back(toVec3(mesh.positions[v[i]]));
      }
      if (dot(normalOf(triangles[0]), faceNormal(mesh, origin.face)) < 0) {
        std::reverse(vertices.begin() + 1, vertices.end());
      }
      appendFace(text, lead, vertices);
      return;
    }
    // Pieces: the triangles joined across the edges they share; each piece's outline.
    std::unordered_map<uint64_t, uint32_t> edgeOwner;  // directed edge -> triangle
    auto key = [](uint32_t a, uint32_t b) { return uint64_t{a} << 32 | b; };
    for (size_t t = 0; t < count; ++t) {
      for (int c = 0; c < 3; ++c) {
        const uint32_t a = result_.corners[3 * triangles[t] + uint32_t(c)];
        const uint32_t b = result_.corners[3 * triangles[t] + uint32_t((c + 1) % 3)];
        edgeOwner[key(a, b)] = static_cast<uint32_t>(t);
      }
    }
    std::vector<uint32_t> piece(count);
    std::iota(piece.begin(), piece.end(), 0);
    std::function<uint32_t(uint32_t)> find = [&](uint32_t t) {
      while (piece[t] != t) t = piece[t] = piece[piece[t]];
      return t;
    };
    for (const auto& [edge, t] : edgeOwner) {
      auto twin = edgeOwner.find(key(uint32_t(edge), uint32_t(edge >> 32)));
      if (twin != edgeOwner.end()) piece[find(t)] = find(twin->second);
    }
    std::unordered_map<uint32_t, std::vector<CutEdge>> outlines;
    std::unordered_map<uint32_t, Vec3> facing;
    std::vector<uint32_t> roots;
    for (size_t t = 0; t < count; ++t) {
      const uint32_t root = find(static_cast<uint32_t>(t));
      if (facing.find(root) == facing.end()) roots.push_back(root);
      facing[root] += normalOf(triangles[t]);
      for (int c = 0; c < 3; ++c) {
        const uint32_t a = result_.corners[3 * triangles[t] + uint32_t(c)];
        const uint32_t b = result_.corners[3 * triangles[t] + uint32_t((c + 1) % 3)];
        if (edgeOwner.count(key(b, a)) != 0) continue;
        outlines[root].push_back(
            CutEdge{a, b, result_.positions[a], result_.positions[b], true, false});
      }
    }
    // The library's triangles come in an order of its own, which may change with what else the
    // heap holds: the outlines in the order of their positions, and the pieces in the order of
    // their first, make the same polygons whatever the order of the triangles.
    const auto before = [](const Vec3& a, const Vec3& b) {
      return a.x != b.x ? a.x < b.x : a.y != b.y ? a.y < b.y : a.z < b.z;
    };
    for (uint32_t root : roots) {
      std::sort(outlines[root].begin(), outlines[root].end(),
                [&before](const CutEdge& a, const CutEdge& b) {
                  return before(a.start, b.start) ||
                         (!before(b.start, a.start) && before(a.end, b.end));
                });
    }
    // A piece without an outline makes no polygon.
    roots.erase(std::remove_if(roots.begin(), roots.end(),
                               [&](uint32_t root) { return outlines[root].empty(); }),
                roots.end());
    std::sort(roots.begin(), roots.end(), [&](uint32_t a, uint32_t b) {
      return before(outlines[a].front().start, outlines[b].front().start);
    });
    for (uint32_t root : roots) {
      for (const std::vector<Vec3>& polygon : loopPolygons(outlines[root], facing[root])) {
        appendFace(text, lead, polygon);
      }
    }
  }

  const ExactSolid::Triangles& result_;
  const std::vector<Origin>& origins_;
  const std::vector<char>& split_;
};

}  // namespace

std::string combineModels(const QStringList& paths, Operation operation) {
  Labels labels;
  std::vector<std::unique_ptr<SolidModel>> models;
  std::vector<Origin> origins;
  SolidNames names;
  for (const QString& path : paths) {
    const auto first = static_cast<uint32_t>(origins.size());
    names.add(path, first);
    auto model = std::make_unique<SolidModel>(readSolidModel(path, first, &labels));
    for (uint32_t f = 0; f < model->mesh.faceCount(); ++f) origins.push_back({model.get(), f});
    models.push_back(std::move(model));
  }
  ExactSolid result;
  if (operation == Operation::unite) {
    std::vector<ExactSolid> solids;
    for (auto& model : models) solids.push_back(std::move(model->solid));
    result = uniteAll(std::move(solids), &labels, names);
  } else if (operation == Operation::subtract) {
    result = std::move(models[0]->solid);
    std::vector<ExactSolid> cutters;
    for (size_t i = 1; i < models.size(); ++i) cutters.push_back(std::move(models[i]->solid));
    ExactSolid cutter = uniteAll(std::move(cutters), &labels, names);
    if (result.mayMeet(cutter)) {
      combineOrFail(result, cutter, operation, &labels, names);
    }
  } else {
    result = std::move(models[0]->solid);
    for (size_t i = 1; i < models.size() && !result.empty(); ++i) {
      if (!result.mayMeet(models[i]->solid)) {
        result = ExactSolid();
        break;
      }
      combineOrFail(result, models[i]->solid, operation, &labels, names);
    }
  }
  labels.split.resize(origins.size(), 0);
  const ExactSolid::Triangles triangles = result.triangles();
  size_t openEdges = 0;
  std::optional<std::string> text =
      closedOnceWelded(ResultFaces(triangles, origins, labels.split).text(), &openEdges);
  if (!text) {
    throw RunError(names.all() + QStringLiteral(": the result would not be a closed solid once "
                                                "welded (%1 open edge%2): the solids come "
                                                "closer than the weld distance without meeting")
                                     .arg(openEdges)
                                     .arg(openEdges == 1 ? "" : "s"));
  }
  return *std::move(text);
}
