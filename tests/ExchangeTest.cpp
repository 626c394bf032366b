// Round trips through every format: OBJ, PLY and OFF give back the same polygons, turned
// outward, STL, glTF and 3MF the same area in each colour.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <tuple>

#include "ModelMesh.h"
#include "ModelWalk.h"
#include "Normals.h"
#include "TestSupport.h"
#include "Vandrel.h"

namespace {

using Key = std::tuple<int, int, int>;  // a colour to 8 bits, or -1 -1 -1 for none

// The area of the model's polygons in each colour; `bytes`: colours as 8-bit formats keep them.
std::map<Key, double> areaByColour(const QString& name, bool colours) {
  Vandrel reader;
  reader.loadFile(name);
  const Mesh mesh = meshOf(*reader.model);
  std::map<Key, double> area;
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    Key key{-1, -1, -1};
    if (colours && mesh.faceColour[f] != Mesh::noColour) {
      const Colour& c = mesh.colours[size_t(mesh.faceColour[f])];
      key = {int(std::lround(c.red * 255)), int(std::lround(c.green * 255)),
             int(std::lround(c.blue * 255))};
    }
    area[key] += length(newellNormal(mesh.positions, mesh.face(f), mesh.faceSize(f))) / 2;
  }
  return area;
}

void expectAreas(const std::map<Key, double>& back, const std::map<Key, double>& want,
                 const char* format) {
  ASSERT_EQ(back.size(), want.size()) << format;
  for (const auto& [key, area] : want) {
    ASSERT_EQ(back.count(key), 1u) << format;
    EXPECT_NEAR(back.at(key), area, 1e-5 * area) << format;
  }
}

}  // namespace

TEST(Exchange, EveryFormatGivesThePolygonsBack) {
  QTemporaryDir dir;
  auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)).toUtf8(); };
  // A red box, a green W cut across its arms (one object in three pieces joined along the cut),
  // a blue triangle at far coordinates and an uncoloured face.
  run({"polygonC", path("square"), "1", "0", "0", "0", "0", "1", "0", "1", "1", "0", "1"});
  run({"extrude", path("square"), path("box"), "1.5"});
  run({"polygonC", path("w"), "0", "0.6", "0", "0", "0", "5", "0", "5", "3", "4", "3", "4", "1",
       "3",        "1",       "3", "3",   "2", "3", "2", "1", "1", "1", "1", "3", "0", "3"});
  run({"clip", path("w"), path("cut"), "0", "1", "0", "0", "2", "0"});
  run({"polygonC", path("far"), "0.1", "0.2", "0.9", "100000", "100000", "100001", "100000",
       "100000", "100002.5"});
  run({"polygon", path("plain"), "-3", "0", "-2", "0", "-2", "1", "-3", "1"});
  run({"assemble", path("box"), path("cut"), path("far"), path("plain"), path("model")});
  run({"transform", path("model"), "YD", "30", "XT", "0.25"});  // no plane along an axis

  // The far triangle makes the default weld distance 1: shared positions only, here.
  for (const char* format : {"obj", "off", "ply"}) {
    run({"export", path("model"), path("model.") + format, "--weld", "0"});
    run({"import", path("model.") + format, path("back")});
    // The faces come back turned outward: once turned, a second round trip changes nothing.
    run({"export", path("back"), path("again.") + format, "--weld", "0"});
    run({"import", path("again.") + format, path("again")});
    EXPECT_EQ(contents(path("again") + ".poly"), contents(path("back") + ".poly")) << format;
    // Colours to 8 bits in PLY: compare positions only.
    const bool colours = std::string(format) != "ply";
    expectAreas(areaByColour(path("back"), colours), areaByColour(path("model"), colours), format);
  }
  const std::map<Key, double> expected = areaByColour(path("model"), true);
  const std::map<Key, double> total = areaByColour(path("model"), false);
  for (const char* format : {"stl", "glb", "gltf", "3mf"}) {
    run({"export", path("model"), path("model.") + format, "--weld", "0"});
    run({"import", path("model.") + format, path("back")});
    const bool colours = std::string(format) != "stl";
    const std::map<Key, double> back = areaByColour(path("back"), colours);
    expectAreas(back, colours ? expected : total, format);
  }
}

TEST(Exchange, ManyColoursTravelWithTheVerticesInGltf) {
  QTemporaryDir dir;
  auto path = [&](const QString& name) { return dir.filePath(name).toUtf8(); };
  // A row of 100 boxes, each in a colour of its own and each sharing a side with the next, so
  // that the vertices of a shared side have two colours; and one box without colour.
  std::vector<QByteArray> assemble{"assemble"};
  for (int i = 0; i < 100; ++i) {
    const QByteArray x0 = QByteArray::number(i), x1 = QByteArray::number(i + 1);
    const QString name = QString("s%1").arg(i);
    run({"polygonC", path(name), QByteArray::number((i % 10) / 10.0),
         QByteArray::number((i / 10) / 10.0), "0.5", x0, "0", x1, "0", x1, "1", x0, "1"});
    assemble.push_back(path(name));
  }
  run({"polygon", path("plain"), "0", "5", "1", "5", "1", "6", "0", "6"});
  assemble.push_back(path("plain"));
  assemble.push_back(path("row"));
  run(assemble);
  run({"extrude", path("row"), path("boxes"), "1"});
  const std::map<Key, double> want = areaByColour(path("boxes"), true);
  ASSERT_EQ(want.size(), 101u);
  for (const char* format : {"glb", "gltf"}) {
    run({"export", path("boxes"), path("boxes.") + format});
    run({"import", path("boxes.") + format, path("back")});
    expectAreas(areaByColour(path("back"), true), want, format);
  }
  // A mesh per solid, drawn in one call: the box without colour plainly, each coloured one with
  // COLOR_0 and the one material.
  const auto json = nlohmann::json::parse(contents(path("boxes.gltf")).toStdString());
  ASSERT_EQ(json["meshes"].size(), 101u);
  size_t plain = 0;
  for (const auto& mesh : json["meshes"]) {
    ASSERT_EQ(mesh["primitives"].size(), 1u);
    if (!mesh["primitives"][0]["attributes"].contains("COLOR_0")) ++plain;
  }
  EXPECT_EQ(plain, 1u);
  EXPECT_EQ(json["materials"].size(), 1u);
}
