#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// A polygon mesh: the one form in which models go out to other formats and come in from them.
//
// Vertices are positions shared by the faces that use them. A face is a polygon, a list of
// vertex indices in order (faceStart[f] to faceStart[f + 1] in `corners`); its colour is an
// index into `colours`, or noColour.

struct Position {
  float x, y, z;
};

struct Colour {
  float red, green, blue;  // each 0..1
  bool operator==(const Colour& c) const {
    return red == c.red && green == c.green && blue == c.blue;
  }
};

// A colour value from 0 to 1 as a byte from 0 to 255, rounded to the nearest.
inline uint8_t colourByte(float value) { return static_cast<uint8_t>(value * 255 + 0.5f); }

struct Mesh {
  static constexpr int32_t noColour = -1;

  std::vector<Position> positions;
  std::vector<uint32_t> faceStart{0};  // one more than there are faces
  std::vector<uint32_t> corners;
  std::vector<int32_t> faceColour;
  std::vector<Colour> colours;  // distinct

  size_t faceCount() const { return faceColour.size(); }
  uint32_t faceSize(size_t f) const { return faceStart[f + 1] - faceStart[f]; }
  const uint32_t* face(size_t f) const { return corners.data() + faceStart[f]; }

  // Appends a face of the given vertices; `colour` is an index or noColour.
  void addFace(const uint32_t* vertices, size_t count, int32_t colour);
  // The index of `colour` in `colours`, added if new; constant time, by a hash of its bits.
  int32_t colourIndex(const Colour& colour);

 private:
  std::unordered_map<std::string, int32_t> colourIndices_;  // of `colours`, by their bytes
};

// Triangles of a mesh: three vertex indices each, and the face each comes from.
struct Triangles {
  std::vector<uint32_t> corners;
  std::vector<uint32_t> face;
  size_t count() const { return face.size(); }
};
