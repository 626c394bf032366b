// The commands that work on a model file a block at a time while they read it write what the
// same work on the whole model, read first, writes: objects cut by block boundaries, chunks
// taken by either thread and batches written in turn stay in order.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "MeshFile.h"
#include "ModelFile.h"
#include "ModelText.h"
#include "ModelWalk.h"
#include "Revolve.h"
#include "Solid.h"
#include "TestSupport.h"
#include "Vandrel.h"

namespace {

class Pipeline : public ::testing::Test {
 protected:
  // About 5 MB: polygons of 3 to 2000 vertices, now and then an empty object or one with only
  // its lead record, so that objects of every size straddle the blocks, and one of 40,000 that
  // is transformed in slices.
  void SetUp() override {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-1000, 1000);
    Vandrel maker;
    for (int i = 0; i < 20000; ++i) {
      auto* object = new LinkNodeHolder;
      const auto pick = random() % 100;
      const size_t records = i == 9999   ? 40000
                             : pick == 0 ? 0
                             : pick == 1 ? 1
                             : pick == 2 ? 2000
                                         : 4 + random() % 8;
      for (size_t j = 0; j < records; ++j) {
        object->add(coordinate(random), coordinate(random), coordinate(random), 1);
      }
      maker.model->add(object);
    }
    maker.writeFile(path("model"));
  }

  QByteArray name(const char* file) { return QFile::encodeName(path(file)); }
  QString path(const char* file) { return dir.filePath(QString::fromLatin1(file)); }
  QTemporaryDir dir;
};

}  // namespace

TEST_F(Pipeline, TransformWritesTheWholeModelTransformed) {
  run({"create", name("moved"), name("model"), "XT", "3", "ZD", "30", "XS", "2"});
  Vandrel whole;
  whole.loadFile(path("model"));
  char steps[][3] = {"XT", "3", "ZD", "30", "XS", "2"};
  char* words[] = {steps[0], steps[1], steps[2], steps[3], steps[4], steps[5]};
  whole.doMult(whole.parseParams(0, 6, words, Transformation()));
  std::string text;
  walkObjects(*whole.model, [&](LinkNodeHolder& object) { appendObject(text, object); });
  const QByteArray written = contents(path("moved.poly"));
  ASSERT_GT(written.size(), 1 << 22);
  EXPECT_TRUE(written.toStdString() == text);  // not printed: megabytes
}

TEST_F(Pipeline, ExtrudeAndClipWriteWhatTheyWriteOfAModelInHand) {
  Vandrel empties;
  empties.loadFile(path("model"));
  // Empty objects and lone lead records have no area to extrude: the copy goes without them.
  Vandrel kept;
  walkObjects(*empties.model, [&](LinkNodeHolder& object) {
    size_t records = 0;
    walkRecords(object, [&](LinkNodeHolder&) { ++records; });
    if (records < 4) return;
    auto* copy = new LinkNodeHolder;
    walkRecords(object, [&](LinkNodeHolder& r) { copy->add(r.getX(), r.getY(), r.getZ(), 1); });
    kept.model->add(copy);
  });
  kept.writeFile(path("solid"));
  kept.model->reset();

  run({"extrude", name("solid"), name("prisms"), "2.5"});
  kept.doExtrude(2.5f, path("prisms2"));
  EXPECT_TRUE(contents(path("prisms.poly")) == contents(path("prisms2.poly")));

  run({"clip", name("model"), name("half"), "1", "0.5", "0", "10", "0", "0"});
  empties.doClip(path("half2"), Plane{{1, 0.5, 0}, {10, 0, 0}});
  const QByteArray half = contents(path("half.poly"));
  EXPECT_GT(half.size(), 1 << 20);
  EXPECT_TRUE(half == contents(path("half2.poly")));
}

TEST_F(Pipeline, RevolveOfALargeProfileInSlicesWritesTheWholeSweep) {
  // Small profiles on either side of one that is swept in slices (both threads on one object),
  // below a full turn so that the ends come last.
  Vandrel profiles;
  auto addCircle = [&profiles](size_t vertices, double radius) {
    auto* object = new LinkNodeHolder;
    object->add(-1, -1, 2, 1);
    for (size_t i = 0; i < vertices; ++i) {
      const double a = 2 * M_PI * double(i) / double(vertices);
      object->add(float(5 + radius * std::cos(a)), 0, float(radius * std::sin(a)), 1);
    }
    profiles.model->add(object);
  };
  addCircle(12, 1);
  addCircle(3000, 2);
  addCircle(7, 0.5);
  profiles.writeFile(path("profiles"));
  run({"revolve", name("profiles"), name("ring"), "0", "0", "1", "0", "0", "0", "90", "270"});

  Vandrel read;  // the profiles as the file holds them
  read.loadFile(path("profiles"));
  std::string text;
  walkObjects(*read.model, [&](LinkNodeHolder& object) {
    std::vector<Vec3> profile;
    walkVertices(object, [&](LinkNodeHolder& r) {
      profile.push_back({r.getX(), r.getY(), r.getZ()});
    });
    const RevolveSweep sweep{{0, 0, 1}, {0, 0, 0}, 90, 270, 1e-5};
    revolve(profile, sweep, [&](const Vec3* v, size_t count) {
      text += "newObject\n";
      appendRecord(text, -1, -1, 2, 1);
      for (size_t i = 0; i < count; ++i) appendRecord(text, v[i].x, v[i].y, v[i].z, 1);
    });
  });
  const QByteArray written = contents(path("ring.poly"));
  ASSERT_GT(written.size(), 1 << 22);
  EXPECT_TRUE(written.toStdString() == text);  // not printed: megabytes
}

TEST_F(Pipeline, ExtrudeOfALargeKeyholePolygonInSlicesMakesTheSolidWithTheHole) {
  // A disc of radius 10 less one of radius 5, 20,000 vertices each, bridged at x: the prism is
  // made in slices by both threads, and its bridge gets no side. Beside it a small keyhole.
  Vandrel keyholes;
  auto addKeyhole = [&keyholes](size_t vertices, double x) {
    auto* object = new LinkNodeHolder;
    object->add(-1, -1, 2, 1);
    auto ring = [&](double radius, double turn) {
      for (size_t i = 0; i <= vertices; ++i) {
        const double a = turn * 2 * M_PI * double(i % vertices) / double(vertices);
        object->add(float(x + radius * std::cos(a)), float(radius * std::sin(a)), 0, 1);
      }
    };
    ring(10, 1);
    ring(5, -1);
    keyholes.model->add(object);
  };
  addKeyhole(20000, 0);
  addKeyhole(8, 30);
  keyholes.writeFile(path("keyholes"));
  run({"extrude", name("keyholes"), name("solids"), "2"});

  const WeldedParts solids = weldedParts(readMesh(path("solids.poly")), -1);
  ASSERT_EQ(solids.parts.parts.size(), 2u);
  EXPECT_TRUE(solids.parts.closed);
  // The polygons' areas: n r^2 sin(2 pi / n) / 2, for the rings less the holes, times the depth.
  auto volume = [](double n) { return (100 - 25) * n * std::sin(2 * M_PI / n); };
  EXPECT_NEAR(solids.parts.parts[0].volume, volume(20000), 1e-5 * volume(20000));
  EXPECT_NEAR(solids.parts.parts[1].volume, volume(8), 1e-5 * volume(8));
  // A base, a top and a side per edge but the two of each bridge.
  EXPECT_EQ(solids.mesh.faceCount(), 2 + 40002 - 2 + 2 + 18 - 2);
}

#ifndef VANDREL_NO_POOL
TEST_F(Pipeline, StreamingLetsGoOfEachObjectOnceItsTextIsMade) {
  // The pool hands a freed object's block to the next object: a stream that lets go of what it
  // has written meets only a few steps' worth of distinct objects, one that keeps the model
  // meets all 20,000.
  std::mutex lock;
  std::set<const LinkNodeHolder*> seen;
  const ObjectFormat copy = [&](const LoadedObject* first, const LoadedObject* last,
                                std::string* text) {
    for (const LoadedObject* o = first; o != last; ++o) {
      appendObject(*text, *o->object);
      const std::lock_guard<std::mutex> held(lock);
      seen.insert(o->object);
    }
  };
  streamFile(path("model.poly"), path("copy.poly"), copy, FirstFault::model);
  EXPECT_TRUE(contents(path("copy.poly")) == contents(path("model.poly")));
  EXPECT_LT(seen.size(), 5000u);
}
#endif
