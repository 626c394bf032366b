#include "MeshFile.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "ModelLoader.h"
#include "ModelMesh.h"
#include "ModelText.h"
#include "OutputFile.h"
#include "Parallel.h"
#include "VertexTable.h"

namespace {

// Builds the mesh as the file is read, without a model on the way: each object's lead record
// gives its face's colour, its vertices the face's corners. Positions are shared a batch at a
// time, in the order they are read, so that the vertex indices are those meshOf gives.
class MeshTarget : public LoadTarget {
 public:
  MeshTarget(Mesh& mesh, size_t expected, std::vector<Position>* leads)
      : mesh_(mesh), table_(&mesh.positions, expected), leads_(leads) {
    pending_.reserve(batch);
  }

  LinkNodeHolder* open() override {
    if (open_) close();
    open_ = true;
    lead_ = true;
    colour_ = Mesh::noColour;
    leadRecord_ = Position{0, 0, 0};
    return nullptr;
  }

  void record(float x, float y, float z) override {
    if (lead_) {
      leadRecord_ = Position{x, y, z};
      Colour c;
      if (leadColour(x, y, z, &c)) colour_ = mesh_.colourIndex(c);
      lead_ = false;
      return;
    }
    pending_.push_back({x, y, z});
    ++corners_;
    if (pending_.size() == batch) share();
  }

  void finish() override {
    if (open_) close();
    open_ = false;
    share();
  }

 private:
  static constexpr size_t batch = 1 << 16;

  void close() {
    mesh_.faceStart.push_back(static_cast<uint32_t>(corners_));
    mesh_.faceColour.push_back(colour_);
    if (leads_) leads_->push_back(leadRecord_);
  }

  void share() {
    const size_t first = mesh_.corners.size();
    mesh_.corners.resize(first + pending_.size());
    table_.indices(pending_.data(), pending_.size(), mesh_.corners.data() + first);
    pending_.clear();
  }

  Mesh& mesh_;
  VertexTable table_;
  std::vector<Position> pending_;  // read, not yet shared
  size_t corners_ = 0;             // vertices read so far
  std::vector<Position>* leads_;   // or null
  int32_t colour_ = Mesh::noColour;
  Position leadRecord_{0, 0, 0};  // of the open object
  bool open_ = false;
  bool lead_ = false;  // the next record is the open object's lead record
};

}  // namespace

Mesh readMesh(const QString& path, std::vector<Position>* leads) {
  Mesh mesh;
  // A record line takes some 30 bytes: about as many vertices as that, for the table's size.
  const auto bytes = static_cast<size_t>(std::max<qint64>(QFileInfo(path).size(), 0));
  MeshTarget target(mesh, bytes / 30, leads);
  ModelLoader loader(path, target);
  runPipeline(loader, nullptr, nullptr);
  return mesh;
}

void writeFacesInParallel(OutputFile& out, size_t count, const FaceFormat& format) {
  constexpr size_t chunk = 4096;     // faces, taken by either thread when it is free
  constexpr size_t perStep = 16;     // chunks
  std::vector<std::string> text[2];  // of this step and of the one before, chunk by chunk
  for (std::vector<std::string>& t : text) t.resize(perStep);
  auto write = [&out](std::vector<std::string>& texts) {
    for (std::string& t : texts) {
      out.write(t);
      t.clear();
    }
  };
  for (size_t step = 0; step * perStep * chunk < count; ++step) {
    std::vector<std::string>& made = text[step % 2];
    const size_t first = step * perStep * chunk;
    std::atomic<size_t> next{0};
    auto work = [&]() {
      for (size_t i; (i = next.fetch_add(1)) < perStep;) {
        const size_t from = std::min(first + i * chunk, count);
        // Made in a string of this thread's own, not next to the other thread's (see
        // runPipeline).
        std::string result;
        result.swap(made[i]);
        format(from, std::min(from + chunk, count), &result);
        result.swap(made[i]);
      }
    };
    // Both make this step's text, the second once it has written the text of the step before.
    inParallel(work, [&]() {
      write(text[(step + 1) % 2]);
      work();
    });
  }
  write(text[0]);
  write(text[1]);
}

// Straight from the mesh, so that no model of millions of objects is built on the way.
void writeMeshModel(const Mesh& mesh, const QString& path) {
  OutputFile out(path);
  writeFacesInParallel(out, mesh.faceCount(),
                       [&mesh](size_t first, size_t last, std::string* text) {
                         for (size_t f = first; f < last; ++f) {
                           *text += "newObject\n";
                           const int32_t c = mesh.faceColour[f];
                           if (c == Mesh::noColour) {
                             *text += "-1 -1 2 1\n";
                           } else {
                             const Colour& colour = mesh.colours[size_t(c)];
                             appendRecord(*text, colour.red, colour.green, colour.blue, 1);
                           }
                           const uint32_t* v = mesh.face(f);
                           for (uint32_t i = 0; i < mesh.faceSize(f); ++i) {
                             const Position& p = mesh.positions[v[i]];
                             appendRecord(*text, p.x, p.y, p.z, 1);
                           }
                         }
                       });
  out.commit();
}
