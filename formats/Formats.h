#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"
#include "Mesh.h"
#include "Parts.h"

// What a reader found that is not a face: points, and lines (polylines count once each).
struct Skipped {
  size_t points = 0;
  size_t lines = 0;
};

// Something in a file that its format does not allow: the reader's message, with the line
// where a text format has lines (0 where it has none), and the word of the file that it
// echoes (shown after the message, quoted as every echoed word is), if any.
struct FormatError {
  long line;
  std::string what;
  std::string word = {};
  bool echoes = false;
};

// Writers: the mesh's file in a format, its faces turned outward (Solid.h); triangle formats take
// its triangles. Writing fails only in the sink.
void writeObj(const Mesh& mesh, const Parts& parts, const std::string& materialFile,
              ByteWriter& out);
void writeMtl(const Mesh& mesh, ByteWriter& out);
void writePly(const Mesh& mesh, ByteWriter& out);
void writeOff(const Mesh& mesh, ByteWriter& out);
void writeStl(const Mesh& mesh, const Triangles& triangles, ByteWriter& out);
// With `parts` null, the whole model is one mesh (for a page that only draws it).
void writeGltf(const Mesh& mesh, const Triangles& triangles, const Parts* parts, bool binary,
               ByteWriter& out);
void write3mf(const Mesh& mesh, const Triangles& triangles, const Parts& parts, ByteWriter& out);

// Adds a face a reader found: one of a single vertex is a point and one of two a line, which
// are counted in `skipped` instead; one without vertices is passed over.
void addFaceOrSkip(Mesh& mesh, const std::vector<uint32_t>& face, int32_t colour, Skipped* skipped);

// The faces that have at least one vertex: those the writers write.
size_t nonEmptyFaces(const Mesh& mesh);

// Readers: the mesh in a file's bytes. They throw a FormatError. `neighbour` reads another file
// beside this one by its name, for an OBJ file's materials; it returns false when it cannot.
using Neighbour = std::function<bool(const std::string& name, std::string* bytes)>;
Mesh readObj(std::string_view bytes, const Neighbour& neighbour, Skipped* skipped);
Mesh readStl(std::string_view bytes, Skipped* skipped);
Mesh readPly(std::string_view bytes, Skipped* skipped);
Mesh readOff(std::string_view bytes, Skipped* skipped);
// `folder` is where the file is, for buffers in files beside it.
Mesh readGltf(std::string_view bytes, bool binary, const std::string& folder, Skipped* skipped);
Mesh read3mf(std::string_view bytes, Skipped* skipped);

// The file formats a mesh goes out to and comes in from, chosen by a file name's extension: one
// row each in the table of Formats.cpp, which export, import, the help and the messages read.
enum class Format { obj, stl, ply, off, glb, gltf, threeMf };

// What a format's writer is given.
struct WriteJob {
  const Mesh& mesh;
  const Triangles& triangles;  // the outward triangles, for a format that takes triangles
  const Parts& parts;          // the mesh's parts, each face already turned outward
  ByteWriter& out;
  ByteWriter* companion;      // the companion file, when one is written
  std::string companionName;  // its name, as the file refers to it
};
// What a format's reader is given.
struct ReadJob {
  std::string_view bytes;
  const Neighbour& neighbour;  // another file beside this one
  const std::string& folder;   // where the file is
  Skipped* skipped;
};

struct FormatInfo {
  Format format;
  const char* extension;  // without the dot, in lower case
  const char* name;       // for the help
  bool triangles;         // the writer takes triangles, not polygons
  // The extension of a file written beside it when the mesh has colours (OBJ's .mtl), or null.
  const char* companion;
  void (*write)(const WriteJob& job);
  Mesh (*read)(const ReadJob& job);
};

// Every format, in the order the help lists them.
const std::vector<FormatInfo>& formats();
const FormatInfo& formatInfo(Format format);
// The format of a file name's extension (case does not matter); null for any other.
const FormatInfo* formatOf(const QString& fileName);
// ".obj, .stl, ... or .3mf": the extensions of the formats, for messages and the help.
QString formatList();
