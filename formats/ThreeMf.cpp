// 3MF, written: a ZIP package holding one model part, with an object per colour (its colour
// from a base material) and one for the triangles without colour.

#include <cstdio>
#include <string>
#include <vector>

#include "Formats.h"
#include "ZipWriter.h"

namespace {

const char contentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    "\n"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" )"
    R"(ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="model" )"
    R"(ContentType="application/vnd.ms-package.3dmanufacturing-3dmodel+xml"/></Types>)"
    "\n";

const char relationships[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    "\n"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Target="/3D/3dmodel.model" Id="rel0" )"
    R"(Type="http://schemas.microsoft.com/3dmanufacturing/2013/01/3dmodel"/></Relationships>)"
    "\n";

std::string hexColour(const Colour& c) {
  auto byte = [](float v) { return static_cast<unsigned>(v * 255 + 0.5f); };
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", byte(c.red), byte(c.green), byte(c.blue));
  return text;
}

}  // namespace

void write3mf(const Mesh& mesh, const Triangles& triangles, ByteWriter& out) {
  ZipWriter zip(out);
  zip.begin("[Content_Types].xml", false);
  zip.write(contentTypes);
  zip.end();
  zip.begin("_rels/.rels", false);
  zip.write(relationships);
  zip.end();

  zip.begin("3D/3dmodel.model", true);
  ByteWriter xml([&zip](std::string_view bytes) { zip.write(bytes); });
  xml.text(R"(<?xml version="1.0" encoding="UTF-8"?>)"
           "\n"
           R"(<model unit="millimeter" xml:lang="en-US" )"
           R"(xmlns="http://schemas.microsoft.com/3dmanufacturing/core/2015/02">)"
           "\n<metadata name=\"Application\">vandrel</metadata>\n<resources>\n");
  if (!mesh.colours.empty()) {
    xml.text("<basematerials id=\"1\">\n");
    for (size_t c = 0; c < mesh.colours.size(); ++c) {
      xml.text("<base name=\"colour");
      xml.number(uint64_t{c});
      xml.text("\" displaycolor=\"" + hexColour(mesh.colours[c]) + "\"/>\n");
    }
    xml.text("</basematerials>\n");
  }
  // Objects 2, 3, ...: the triangles of each colour group, uncoloured first, with the vertices
  // they use numbered anew.
  const size_t groups = mesh.colours.size() + 1;
  std::vector<size_t> start(groups + 1, 0);
  for (size_t t = 0; t < triangles.count(); ++t) {
    ++start[size_t(mesh.faceColour[triangles.face[t]] + 1) + 1];
  }
  for (size_t g = 0; g < groups; ++g) start[g + 1] += start[g];
  std::vector<uint32_t> order(triangles.count());
  {
    std::vector<size_t> next(start.begin(), start.end() - 1);
    for (size_t t = 0; t < triangles.count(); ++t) {
      order[next[size_t(mesh.faceColour[triangles.face[t]] + 1)]++] = static_cast<uint32_t>(t);
    }
  }
  std::vector<uint32_t> local(mesh.positions.size());
  std::vector<uint32_t> stamp(mesh.positions.size(), 0);  // the group + 1 that numbered it
  std::vector<uint32_t> used;
  std::vector<uint64_t> objects;
  uint64_t id = 2;
  for (size_t g = 0; g < groups; ++g) {
    if (start[g] == start[g + 1]) continue;
    used.clear();
    for (size_t k = start[g]; k < start[g + 1]; ++k) {
      for (int i = 0; i < 3; ++i) {
        const uint32_t v = triangles.corners[3 * size_t(order[k]) + size_t(i)];
        if (stamp[v] != g + 1) {
          stamp[v] = static_cast<uint32_t>(g + 1);
          local[v] = static_cast<uint32_t>(used.size());
          used.push_back(v);
        }
      }
    }
    objects.push_back(id);
    xml.text("<object id=\"");
    xml.number(id++);
    xml.text("\" type=\"model\"");
    if (g > 0) {
      xml.text(" pid=\"1\" pindex=\"");
      xml.number(uint64_t{g - 1});
      xml.text("\"");
    }
    xml.text(">\n<mesh>\n<vertices>\n");
    for (uint32_t v : used) {
      const Position& p = mesh.positions[v];
      xml.text("<vertex x=\"");
      xml.number(p.x);
      xml.text("\" y=\"");
      xml.number(p.y);
      xml.text("\" z=\"");
      xml.number(p.z);
      xml.text("\"/>\n");
    }
    xml.text("</vertices>\n<triangles>\n");
    for (size_t k = start[g]; k < start[g + 1]; ++k) {
      const uint32_t* c = &triangles.corners[3 * size_t(order[k])];
      xml.text("<triangle v1=\"");
      xml.number(uint64_t{local[c[0]]});
      xml.text("\" v2=\"");
      xml.number(uint64_t{local[c[1]]});
      xml.text("\" v3=\"");
      xml.number(uint64_t{local[c[2]]});
      xml.text("\"/>\n");
    }
    xml.text("</triangles>\n</mesh>\n</object>\n");
  }
  xml.text("</resources>\n<build>\n");
  for (uint64_t object : objects) {
    xml.text("<item objectid=\"");
    xml.number(object);
    xml.text("\"/>\n");
  }
  xml.text("</build>\n</model>\n");
  xml.flush();
  zip.end();
  zip.finish();
}
