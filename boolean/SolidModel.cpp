#include "SolidModel.h"

#include "Failure.h"
#include "ModelFile.h"
#include "ModelMesh.h"
#include "ModelWalk.h"
#include "Quote.h"
#include "Solid.h"
#include "Triangulate.h"
#include "Unite.h"

namespace {

QString notClosed(const Parts& parts) {
  if (parts.parts.empty()) return QStringLiteral("holds no solid (no face with area)");
  if (parts.openEdges > 0) {
    return QStringLiteral("not a closed solid (%1 open edge%2)")
        .arg(parts.openEdges)
        .arg(parts.openEdges == 1 ? "" : "s");
  }
  return QStringLiteral("not a closed solid (its faces cannot be turned one way round)");
}

}  // namespace

SolidModel readSolidModel(const QString& path, uint32_t firstLabel, Labels* labels) {
  SolidModel model;
  {
    std::unique_ptr<LNHHolder> source = readModel(path);
    walkObjects(*source, [&](LinkNodeHolder& object) {
      if (object.hasCurent()) {
        model.leads.push_back({object.getX(), object.getY(), object.getZ(), object.getW()});
      } else {
        model.leads.push_back({-1, -1, 2, 1});
      }
      labels->add(model.leads.back());
    });
    source->reset();
    Mesh mesh = meshOf(*source);
    WeldedParts welded = weldedParts(mesh, defaultWeld);
    model.mesh = std::move(welded.mesh);
    const Parts& parts = welded.parts;
    if (!parts.closed) throw RunError(quoted(path) + QStringLiteral(": ") + notClosed(parts));
    // Each part is taken turned outward, hollows too: solidOfParts finds the hollows again,
    // exactly.
    model.reversed = parts.reversed;
    for (size_t f = 0; f < model.reversed.size(); ++f) {
      const uint32_t part = parts.part[f];
      if (part != Parts::noPart && parts.parts[part].shell != Parts::noPart) {
        model.reversed[f] = !model.reversed[f];
      }
    }
    Triangles triangles = triangulate(model.mesh, 0, model.mesh.faceCount());
    reverse(triangles, model.reversed);
    model.triangleCount.assign(model.mesh.faceCount(), 0);
    // One solid per part, then the solid of the parts.
    std::vector<std::vector<uint32_t>> corners(parts.parts.size()), faces(parts.parts.size());
    for (size_t t = 0; t < triangles.count(); ++t) {
      const uint32_t face = triangles.face[t];
      const uint32_t part = parts.part[face];
      if (part == Parts::noPart) continue;
      ++model.triangleCount[face];
      corners[part].insert(corners[part].end(), triangles.corners.begin() + long(3 * t),
                           triangles.corners.begin() + long(3 * t + 3));
      faces[part].push_back(firstLabel + face);
    }
    std::vector<ExactSolid> solids;
    for (size_t p = 0; p < parts.parts.size(); ++p) {
      solids.emplace_back(model.mesh.positions, corners[p], faces[p]);
      if (solids.back().crossesItself()) {
        throw RunError(quoted(path) + QStringLiteral(": the surface of part %1 crosses itself, "
                                                     "which no solid's surface does")
                                          .arg(p + 1));
      }
    }
    SolidNames names;
    names.add(path, firstLabel);
    model.solid = solidOfParts(std::move(solids), labels, names);
  }
  return model;
}
