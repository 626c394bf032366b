// 3MF, written: a ZIP package holding one model part, with an object per part of the mesh
// (Parts.h), so that every closed part is a closed object, which is what 3MF requires of a
// printable object. Colours are base materials of one group, given triangle by triangle.

#include <cstdio>
#include <string>
#include <vector>

#include "Formats.h"
#include "TriangleGroups.h"
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
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", unsigned{colourByte(c.red)},
                unsigned{colourByte(c.green)}, unsigned{colourByte(c.blue)});
  return text;
}

// The base materials: the mesh's colours, then, where a part mixes faces with and without
// colour, light grey for those without (a triangle of a coloured object cannot have none).
void writeBaseMaterials(const Mesh& mesh, bool grey, ByteWriter& xml) {
  if (mesh.colours.empty()) return;
  xml.text("<basematerials id=\"1\">\n");
  for (size_t c = 0; c < mesh.colours.size(); ++c) {
    xml.text("<base name=\"colour");
    xml.number(uint64_t{c});
    xml.text("\" displaycolor=\"" + hexColour(mesh.colours[c]) + "\"/>\n");
  }
  if (grey) xml.text("<base name=\"none\" displaycolor=\"#CCCCCC\"/>\n");
  xml.text("</basematerials>\n");
}

// Numbers the vertices that a group of triangles uses anew, from 0, in the order they are met.
class LocalVertices {
 public:
  explicit LocalVertices(size_t positions) : local_(positions, unnumbered) {}

  // The vertices of the triangles first[0] to last[-1], numbered from 0.
  const std::vector<uint32_t>& number(const Triangles& triangles, const uint32_t* first,
                                      const uint32_t* last) {
    for (uint32_t v : used_) local_[v] = unnumbered;  // the group before's numbers
    used_.clear();
    for (; first != last; ++first) {
      for (size_t i = 0; i < 3; ++i) {
        const uint32_t v = triangles.corners[3 * size_t{*first} + i];
        if (local_[v] == unnumbered) {
          local_[v] = static_cast<uint32_t>(used_.size());
          used_.push_back(v);
        }
      }
    }
    return used_;
  }
  uint64_t operator[](uint32_t v) const { return local_[v]; }

 private:
  static constexpr uint32_t unnumbered = UINT32_MAX;
  std::vector<uint32_t> local_;
  std::vector<uint32_t> used_;
};

void writeVertices(const Mesh& mesh, const std::vector<uint32_t>& used, ByteWriter& xml) {
  xml.text("<vertices>\n");
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
  xml.text("</vertices>\n");
}

// The triangles, each with its colour's index (p1) where the object has colours.
void writeTriangles(const Mesh& mesh, const Triangles& triangles, const uint32_t* first,
                    const uint32_t* last, const LocalVertices& local, bool coloured,
                    ByteWriter& xml) {
  const auto grey = static_cast<uint64_t>(mesh.colours.size());
  xml.text("<triangles>\n");
  for (; first != last; ++first) {
    const uint32_t* c = &triangles.corners[3 * size_t{*first}];
    xml.text("<triangle v1=\"");
    xml.number(local[c[0]]);
    xml.text("\" v2=\"");
    xml.number(local[c[1]]);
    xml.text("\" v3=\"");
    xml.number(local[c[2]]);
    if (coloured) {
      const int32_t colour = mesh.faceColour[triangles.face[*first]];
      xml.text("\" p1=\"");
      xml.number(colour == Mesh::noColour ? grey : static_cast<uint64_t>(colour));
    }
    xml.text("\"/>\n");
  }
  xml.text("</triangles>\n");
}

// The colour of a group's first coloured triangle, or noColour; *mixed: whether some of its
// triangles have none.
int32_t firstColour(const Mesh& mesh, const Triangles& triangles, const uint32_t* first,
                    const uint32_t* last, bool* mixed) {
  int32_t found = Mesh::noColour;
  bool none = false;
  for (; first != last; ++first) {
    const int32_t c = mesh.faceColour[triangles.face[*first]];
    if (c == Mesh::noColour) none = true;
    if (found == Mesh::noColour) found = c;
  }
  *mixed = none && found != Mesh::noColour;
  return found;
}

// Objects 2, 3, ...: the triangles of each part, with the vertices they use numbered anew.
// Returns the objects' ids.
std::vector<uint64_t> writeObjects(const Mesh& mesh, const Triangles& triangles,
                                   const TriangleGroups& groups, ByteWriter& xml) {
  LocalVertices local(mesh.positions.size());
  std::vector<uint64_t> objects;
  uint64_t id = 2;
  for (size_t g = 0; g < groups.count(); ++g) {
    if (groups.size(g) == 0) continue;
    const std::vector<uint32_t>& used = local.number(triangles, groups.begin(g), groups.end(g));
    bool mixed;
    const int32_t colour = firstColour(mesh, triangles, groups.begin(g), groups.end(g), &mixed);
    objects.push_back(id);
    xml.text("<object id=\"");
    xml.number(id++);
    xml.text("\" type=\"model\"");
    if (colour != Mesh::noColour) {
      xml.text(" pid=\"1\" pindex=\"");
      xml.number(static_cast<uint64_t>(colour));
      xml.text("\"");
    }
    xml.text(">\n<mesh>\n");
    writeVertices(mesh, used, xml);
    writeTriangles(mesh, triangles, groups.begin(g), groups.end(g), local, colour != Mesh::noColour,
                   xml);
    xml.text("</mesh>\n</object>\n");
  }
  return objects;
}

// Whether a part mixes triangles with and without colour.
bool anyMixed(const Mesh& mesh, const Triangles& triangles, const TriangleGroups& groups) {
  for (size_t g = 0; g < groups.count(); ++g) {
    bool mixed;
    firstColour(mesh, triangles, groups.begin(g), groups.end(g), &mixed);
    if (mixed) return true;
  }
  return false;
}

}  // namespace

void write3mf(const Mesh& mesh, const Triangles& triangles, const Parts& parts, ByteWriter& out) {
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
  const TriangleGroups groups = groupByPart(parts, triangles);
  writeBaseMaterials(mesh, anyMixed(mesh, triangles, groups), xml);
  const std::vector<uint64_t> objects = writeObjects(mesh, triangles, groups, xml);
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
