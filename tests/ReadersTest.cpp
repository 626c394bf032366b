// Each reader on bytes written by hand, one file per dialect, as other programs write them: not
// our writer read back by our reader. Every mesh is compared whole: positions, faces, colours.

#include <gtest/gtest.h>

#include <QByteArray>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Formats.h"
#include "XmlScanner.h"
#include "ZipWriter.h"

namespace {

// A mesh as text: "x y z" per position, then "[colour] i j k ..." per face.
std::string describe(const Mesh& mesh) {
  std::string text;
  for (const Position& p : mesh.positions) {
    text += std::to_string(p.x) + ' ' + std::to_string(p.y) + ' ' + std::to_string(p.z) + '\n';
  }
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const int32_t c = mesh.faceColour[f];
    if (c != Mesh::noColour) {
      const Colour& colour = mesh.colours[size_t(c)];
      text += '[' + std::to_string(colour.red) + ',' + std::to_string(colour.green) + ',' +
              std::to_string(colour.blue) + "] ";
    }
    for (uint32_t i = 0; i < mesh.faceSize(f); ++i) text += std::to_string(mesh.face(f)[i]) + ' ';
    text += '\n';
  }
  return text;
}

const Neighbour none = [](const std::string&, std::string*) { return false; };

// The unit square and a triangle over it, as most files below hold it.
const char* const squareAndTriangle =
    "0.000000 0.000000 0.000000\n1.000000 0.000000 0.000000\n1.000000 1.000000 0.000000\n"
    "0.000000 1.000000 0.000000\n0.500000 0.500000 2.000000\n";

template <class T>
void put(std::string& bytes, T value) {
  char raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));
  bytes.append(raw, sizeof(T));
}

template <class T>
void putBigEndian(std::string& bytes, T value) {
  char raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));
  for (size_t i = sizeof(T); i-- > 0;) bytes += raw[i];
}

}  // namespace

TEST(Readers, ObjWithSlashesNegativeIndicesAndMaterials) {
  const std::string obj =
      "# written by another program\r\nmtllib parts.mtl\r\ng square\r\n"
      "v 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nv 0 1 0\r\nvt 0 0\r\nvn 0 0 1\r\n"
      "f 1/1/1 2/1/1 3/1/1 4/1/1\r\nusemtl red\r\nv 0.5 0.5 2\r\nf -5//1 -4//1 -1//1\r\n"
      "l 1 2\r\np 3\r\n";
  const Neighbour materials = [](const std::string& name, std::string* text) {
    if (name != "parts.mtl") return false;
    *text = "newmtl red\nKa 0 0 0\nKd 1 0 0.5\n";
    return true;
  };
  Skipped skipped;
  EXPECT_EQ(describe(readObj(obj, materials, &skipped)),
            std::string(squareAndTriangle) + "0 1 2 3 \n[1.000000,0.000000,0.500000] 0 1 4 \n");
  EXPECT_EQ(skipped.lines, 1u);
  EXPECT_EQ(skipped.points, 1u);
}

TEST(Readers, AsciiStlSharesEqualPositions) {
  const std::string stl =
      "solid part\n  facet normal 0 0 1\n    outer loop\n      vertex 0 0 0\n"
      "      vertex 1 0 0\n      vertex 1 1 0\n    endloop\n  endfacet\n"
      "  facet normal 0 0 1\n    outer loop\n      vertex 0 0 0\n      vertex 1 1 0\n"
      "      vertex 0 1 0\n    endloop\n  endfacet\nendsolid part\n";
  Skipped skipped;
  EXPECT_EQ(describe(readStl(stl, &skipped)),
            "0.000000 0.000000 0.000000\n1.000000 0.000000 0.000000\n"
            "1.000000 1.000000 0.000000\n0.000000 1.000000 0.000000\n0 1 2 \n0 2 3 \n");
}

TEST(Readers, BinaryStlWithASolidHeaderAndAnAttributeWord) {
  std::string stl =
      std::string("solid written by a program").append(54, ' ');  // binary all the same
  put(stl, uint32_t{1});
  const float values[12] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0};  // normal, then three corners
  for (float v : values) put(stl, v);
  put(stl, uint16_t{0x7C00});  // a colour word some programs write: not read
  Skipped skipped;
  EXPECT_EQ(describe(readStl(stl, &skipped)),
            "0.000000 0.000000 0.000000\n1.000000 0.000000 0.000000\n"
            "0.000000 1.000000 0.000000\n0 1 2 \n");
}

TEST(Readers, AsciiPlyWithFaceColoursAndOtherElements) {
  const std::string ply =
      "ply\nformat ascii 1.0\ncomment made by hand\nelement vertex 5\nproperty float x\n"
      "property float y\nproperty float z\nproperty float confidence\nelement face 2\n"
      "property list uchar int vertex_indices\nproperty uchar red\nproperty uchar green\n"
      "property uchar blue\nelement edge 1\nproperty int vertex1\nproperty int vertex2\n"
      "end_header\n0 0 0 1\n1 0 0 1\n1 1 0 1\n0 1 0 1\n0.5 0.5 2 1\n4 0 1 2 3 255 0 0\n"
      "3 0 1 4 0 0 255\n0 1\n";
  Skipped skipped;
  EXPECT_EQ(describe(readPly(ply, &skipped)),
            std::string(squareAndTriangle) +
                "[1.000000,0.000000,0.000000] 0 1 2 3 \n[0.000000,0.000000,1.000000] 0 1 4 \n");
  EXPECT_EQ(skipped.lines, 1u);
}

TEST(Readers, BigEndianPlyWithDoublesAndUintCounts) {
  std::string ply =
      "ply\nformat binary_big_endian 1.0\nelement vertex 3\nproperty double x\n"
      "property double y\nproperty double z\nelement face 1\n"
      "property list uint int vertex_indices\nend_header\n";
  const double values[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  for (double v : values) putBigEndian(ply, v);
  putBigEndian(ply, uint32_t{3});
  for (int32_t i : {0, 1, 2}) putBigEndian(ply, i);
  Skipped skipped;
  EXPECT_EQ(describe(readPly(ply, &skipped)),
            "0.000000 0.000000 0.000000\n1.000000 0.000000 0.000000\n"
            "0.000000 1.000000 0.000000\n0 1 2 \n");
}

TEST(Readers, PlyIndicesBeyondAnyWholeNumberAreRefusedByValue) {
  const std::string head =
      "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
      "property float z\nelement face 1\nproperty list uchar float vertex_indices\nend_header\n"
      "0 0 0\n1 0 0\n0 1 0\n";
  std::string binary =
      "ply\nformat binary_big_endian 1.0\nelement vertex 3\nproperty float x\n"
      "property float y\nproperty float z\nelement face 1\n"
      "property list uchar double vertex_indices\nend_header\n";
  for (int i = 0; i < 9; ++i) putBigEndian(binary, 0.0f);
  binary += '\3';
  for (double v : {0.0, 1.0, std::nan("")}) putBigEndian(binary, v);
  const struct {
    std::string ply, what;
  } cases[] = {{head + "3 0 1 7.77778e21\n", "no such vertex: 7.77778e+21"},
               {head + "3 0 1 -1e30\n", "no such vertex: -1e+30"},
               {head + "3 0 1 12345678\n", "no such vertex: 12345678"},
               {binary, "no such vertex: nan"}};
  for (const auto& c : cases) {
    Skipped skipped;
    try {
      readPly(c.ply, &skipped);
      ADD_FAILURE() << "read " << c.what;
    } catch (const FormatError& e) {
      EXPECT_EQ(e.what, c.what);
    }
  }
}

TEST(Readers, OffWithCommentsAndColoursOfBothScales) {
  const std::string off =
      "OFF # a comment after the word\n5 2 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0.5 0.5 2\n"
      "# the faces\n4 0 1 2 3 255 128 0\n3 0 1 4 0 0.5 1 1\n";
  Skipped skipped;
  EXPECT_EQ(describe(readOff(off, &skipped)), std::string(squareAndTriangle) +
                                                  "[1.000000,0.501961,0.000000] 0 1 2 3 \n" +
                                                  "[0.000000,0.500000,1.000000] 0 1 4 \n");
}

namespace {

// One triangle: three positions and unsigned short indices, as many exporters write them.
std::string triangleBuffer() {
  std::string bin;
  const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  for (float v : positions) put(bin, v);
  for (int i : {0, 1, 2}) put(bin, static_cast<uint16_t>(i));
  bin += std::string(2, '\0');
  return bin;
}

std::string triangleJson(const std::string& bufferEntry) {
  return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],)"
         R"("nodes":[{"children":[1]},{"mesh":0,"translation":[0,0,5]}],)"
         R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"indices":1,"material":0}]}],)"
         R"("materials":[{"pbrMetallicRoughness":{"baseColorFactor":[0,1,0,1]}}],)"
         R"("buffers":[)" +
         bufferEntry +
         R"(],"bufferViews":[{"buffer":0,"byteLength":36},)"
         R"({"buffer":0,"byteOffset":36,"byteLength":6}],)"
         R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3",)"
         R"("min":[0,0,0],"max":[1,1,0]},)"
         R"({"bufferView":1,"componentType":5123,"count":3,"type":"SCALAR"}]})";
}

// Placed 5 along glTF's z, which is vandrel's -y; glTF's y is vandrel's z.
const char* const placedTriangle =
    "0.000000 -5.000000 0.000000\n1.000000 -5.000000 0.000000\n0.000000 -5.000000 1.000000\n"
    "[0.000000,1.000000,0.000000] 0 1 2 \n";

}  // namespace

TEST(Readers, GltfWithADataUriShortIndicesAndNestedNodes) {
  const QByteArray base64 = QByteArray::fromStdString(triangleBuffer()).toBase64();
  const std::string json =
      triangleJson(R"({"byteLength":44,"uri":"data:application/gltf-buffer;base64,)" +
                   base64.toStdString() + R"("})");
  Skipped skipped;
  EXPECT_EQ(describe(readGltf(json, false, std::string(), &skipped)), placedTriangle);
}

TEST(Readers, GlbWithItsBinaryChunk) {
  std::string json = triangleJson(R"({"byteLength":44})");
  while (json.size() % 4 != 0) json += ' ';
  const std::string bin = triangleBuffer();
  std::string glb = "glTF";
  put(glb, uint32_t{2});
  put(glb, static_cast<uint32_t>(12 + 8 + json.size() + 8 + bin.size()));
  put(glb, static_cast<uint32_t>(json.size()));
  glb += "JSON" + json;
  put(glb, static_cast<uint32_t>(bin.size()));
  glb += std::string("BIN\0", 4) + bin;
  Skipped skipped;
  EXPECT_EQ(describe(readGltf(glb, true, std::string(), &skipped)), placedTriangle);
}

namespace {

// A 3MF package of the model part that `write` writes, named by the package's relationships.
template <class Write>
std::string packageWith(Write write) {
  std::string package;
  ByteWriter out([&package](std::string_view piece) { package.append(piece); });
  {
    ZipWriter zip(out);
    zip.begin("_rels/.rels", false);
    zip.write(R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/)"
              R"(package/2006/relationships"><Relationship Target="/3D/part.model" Id="r" )"
              R"(Type="http://schemas.microsoft.com/3dmanufacturing/2013/01/3dmodel"/>)"
              R"(</Relationships>)");
    zip.end();
    zip.begin("3D/part.model", true);
    write(zip);
    zip.end();
    zip.finish();
  }
  out.flush();
  return package;
}

std::string package3mf(const std::string& model) {
  return packageWith([&model](ZipWriter& zip) { zip.write(model); });
}

// Objects 1 to `count`: object 1 a triangle, each other one component (or two) of the one
// below; `cycle`: object 2 also has the top one as a component.
std::string componentChain(int count, const char* transform, bool twice = false,
                           bool cycle = false) {
  std::string model =
      "<model><resources><object id=\"1\"><mesh><vertices><vertex x=\"0\" y=\"0\" z=\"0\"/>"
      "<vertex x=\"1\" y=\"0\" z=\"0\"/><vertex x=\"0\" y=\"1\" z=\"0\"/></vertices>"
      "<triangles><triangle v1=\"0\" v2=\"1\" v3=\"2\"/></triangles></mesh></object>";
  for (int id = 2; id <= count; ++id) {
    std::string component =
        "<component objectid=\"" + std::to_string(id - 1) + "\" transform=\"" + transform + "\"/>";
    if (twice) component += component;
    if (id == 2 && cycle) component += "<component objectid=\"" + std::to_string(count) + "\"/>";
    model += "<object id=\"" + std::to_string(id) + "\"><components>" + component +
             "</components></object>";
  }
  return model + "</resources><build><item objectid=\"" + std::to_string(count) +
         "\"/></build></model>";
}

std::string refusal3mf(const std::string& package) {
  Skipped skipped;
  try {
    read3mf(package, &skipped);
  } catch (const FormatError& e) {
    return e.what;
  }
  return "read";
}

// The events of a scanner fed `text` in pieces of `size` bytes (0: all at once).
std::string scanned(std::string_view text, size_t size) {
  XmlScanner xml;
  if (size == 0) xml.feed(text, true);
  std::string events;
  size_t at = 0;
  for (XmlScanner::Event e = xml.next(); e != XmlScanner::done; e = xml.next()) {
    if (e == XmlScanner::more) {
      const std::string_view piece = text.substr(at, size);
      at += piece.size();
      xml.feed(piece, piece.empty());
    } else if (e == XmlScanner::end) {
      events += "/ ";
    } else {
      std::string_view value;
      events +=
          std::string(xml.name()) + (xml.attribute("a", &value) ? "=" + std::string(value) : "");
      events += '@' + std::to_string(xml.line()) + ' ';
    }
  }
  return events;
}

}  // namespace

TEST(Readers, XmlScannerReadsTheSameInPiecesOfAnySize) {
  const std::string text =
      "<?xml version=\"1.0\"?>\n<!-- a comment -- with > and <b/> inside --->"
      "<a   \n\n  a = \"x &amp; y\"   >" +
      std::string(3000, ' ') +
      "<![CDATA[ <c/> ]]]>"
      "<b a='1'\n/><!DOCTYPE x><m:d a=\"&#x263A;\"></m:d>\n</a>";
  const std::string whole = scanned(text, 0);
  EXPECT_EQ(whole, "a=x & y@4 b=1@5 / d=\u263A@5 / / ");
  for (size_t size : {1u, 2u, 3u, 7u, 64u, 1000u}) EXPECT_EQ(scanned(text, size), whole) << size;
}

TEST(Readers, ThreeMfComponentsAreBoundedInDepthCountAndRange) {
  EXPECT_EQ(refusal3mf(package3mf(componentChain(100, "1 0 0 0 1 0 0 0 1 0 0 1"))), "read");
  EXPECT_EQ(refusal3mf(package3mf(componentChain(100000, "1 0 0 0 1 0 0 0 1 0 0 1"))),
            "components nested deeper than 1000 levels");
  EXPECT_EQ(refusal3mf(package3mf(componentChain(40, "1 0 0 0 1 0 0 0 1 0 0 0", true))),
            "more than 10 million placed objects");
  EXPECT_EQ(refusal3mf(package3mf(componentChain(20, "1 0 0 0 1 0 0 0 1 0 0 0", true))), "read");
  EXPECT_EQ(refusal3mf(package3mf(componentChain(5, "1 0 0 0 1 0 0 0 1 0 0 0", false, true))),
            "objects in a cycle of components");
  EXPECT_EQ(refusal3mf(package3mf(componentChain(20, "1e10 0 0 0 1 0 0 0 1 0 0 0"))),
            "a transform that takes a vertex beyond the range of floats");
}

TEST(Readers, ThreeMfPartInflatingBeyondBoundsIsRefused) {
  const std::string blanks(1 << 20, ' ');
  const std::string package = packageWith([&blanks](ZipWriter& zip) {
    zip.write("<model><resources>");
    for (int i = 0; i < 1100; ++i) zip.write(blanks);
    zip.write("</resources></model>");
  });
  EXPECT_LT(package.size(), size_t(10) << 20);
  EXPECT_EQ(refusal3mf(package),
            "a part that inflates beyond 100 times its compressed size and 1 GiB");
}

TEST(Readers, ThreeMfWithComponentsColourGroupsAndTransforms) {
  const std::string package = package3mf(
      R"(<?xml version="1.0" encoding="UTF-8"?>)"
      "\n<model unit=\"millimeter\" xmlns=\"http://schemas.microsoft.com/3dmanufacturing/"
      "core/2015/02\" xmlns:m=\"http://schemas.microsoft.com/3dmanufacturing/material/"
      "2015/02\">\n<resources>\n<m:colorgroup id=\"7\"><m:color color=\"#FF0000FF\"/>"
      "</m:colorgroup>\n<object id=\"1\" type=\"model\">\n  <mesh>\n    <vertices>\n"
      "      <vertex x=\"0\" y=\"0\" z=\"0\" />\n      <vertex x=\"1\" y=\"0\" z=\"0\" />\n"
      "      <vertex x=\"0\" y=\"1\" z=\"0\" />\n    </vertices>\n    <triangles>\n"
      "      <triangle v1=\"0\" v2=\"1\" v3=\"2\" pid=\"7\" p1=\"0\" />\n"
      "    </triangles>\n  </mesh>\n</object>\n<object id=\"2\" type=\"model\">"
      "<components><component objectid=\"1\" transform=\"1 0 0 0 1 0 0 0 1 0 0 5\"/>"
      "</components></object>\n</resources>\n<build><item objectid=\"2\" "
      "transform=\"2 0 0 0 2 0 0 0 2 0 0 0\"/></build>\n</model>\n");
  Skipped skipped;
  EXPECT_EQ(describe(read3mf(package, &skipped)),
            "0.000000 0.000000 10.000000\n2.000000 0.000000 10.000000\n"
            "0.000000 2.000000 10.000000\n[1.000000,0.000000,0.000000] 0 1 2 \n");
}

TEST(Readers, GltfVertexColoursOfBytesTimesTheBaseColour) {
  // COLOR_0 as normalized bytes, VEC4, as many exporters write it; a triangle takes its first
  // corner's colour, times the material's base colour.
  std::string bin = triangleBuffer();
  for (int c : {255, 128, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255}) put(bin, uint8_t(c));
  const std::string json =
      R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],)"
      R"("meshes":[{"primitives":[{"attributes":{"POSITION":0,"COLOR_0":2},"indices":1,)"
      R"("material":0}]}],"materials":[{"pbrMetallicRoughness":{"baseColorFactor":[0.5,1,1,1]}}],)"
      R"("buffers":[{"byteLength":56,"uri":"data:application/gltf-buffer;base64,)" +
      QByteArray::fromStdString(bin).toBase64().toStdString() +
      R"("}],"bufferViews":[{"buffer":0,"byteLength":36},{"buffer":0,"byteOffset":36,)"
      R"("byteLength":6},{"buffer":0,"byteOffset":44,"byteLength":12}],"accessors":[)"
      R"({"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],)"
      R"("max":[1,1,0]},{"bufferView":1,"componentType":5123,"count":3,"type":"SCALAR"},)"
      R"({"bufferView":2,"componentType":5121,"normalized":true,"count":3,"type":"VEC4"}]})";
  Skipped skipped;
  EXPECT_EQ(describe(readGltf(json, false, std::string(), &skipped)),
            "0.000000 -0.000000 0.000000\n1.000000 -0.000000 0.000000\n"
            "0.000000 -0.000000 1.000000\n[0.500000,0.501961,0.000000] 0 1 2 \n");
}

TEST(Readers, GltfColoursSharedByPrimitivesOfMorePositionsAreRefused) {
  // Two primitives share one COLOR_0 of three colours; the second has six positions, so its
  // fourth vertex would have no colour.
  std::string bin;
  for (int i = 0; i < 18; ++i) put(bin, float(i % 3 == 0 ? i : 0));
  for (int i = 0; i < 12; ++i) put(bin, uint8_t(255));
  const std::string json =
      R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],)"
      R"("meshes":[{"primitives":[{"attributes":{"POSITION":0,"COLOR_0":2}},)"
      R"({"attributes":{"POSITION":1,"COLOR_0":2}}]}],)"
      R"("buffers":[{"byteLength":84,"uri":"data:application/gltf-buffer;base64,)" +
      QByteArray::fromStdString(bin).toBase64().toStdString() +
      R"("}],"bufferViews":[{"buffer":0,"byteLength":72},{"buffer":0,"byteOffset":72,)"
      R"("byteLength":12}],"accessors":[{"bufferView":0,"componentType":5126,"count":3,)"
      R"("type":"VEC3"},{"bufferView":0,"componentType":5126,"count":6,"type":"VEC3"},)"
      R"({"bufferView":1,"componentType":5121,"normalized":true,"count":3,"type":"VEC4"}]})";
  Skipped skipped;
  try {
    readGltf(json, false, std::string(), &skipped);
    FAIL() << "read";
  } catch (const FormatError& e) {
    EXPECT_EQ(e.what, "a COLOR_0 of another count than its POSITION");
  }
}
