#include "Mesh.h"

void Mesh::addFace(const uint32_t* vertices, size_t count, int32_t colour) {
  corners.insert(corners.end(), vertices, vertices + count);
  faceStart.push_back(static_cast<uint32_t>(corners.size()));
  faceColour.push_back(colour);
}

namespace {

// The bytes of a colour, +0 for -0, so that colours equal by == have one key.
std::string keyOf(Colour c) {
  if (c.red == 0) c.red = 0;
  if (c.green == 0) c.green = 0;
  if (c.blue == 0) c.blue = 0;
  return std::string(reinterpret_cast<const char*>(&c), sizeof c);
}

}  // namespace

int32_t Mesh::colourIndex(const Colour& colour) {
  // The colours may have been set without this member: the index then is made anew.
  if (colourIndices_.size() != colours.size()) {
    colourIndices_.clear();
    for (size_t i = 0; i < colours.size(); ++i) {
      colourIndices_.emplace(keyOf(colours[i]), static_cast<int32_t>(i));
    }
  }
  const auto [at, added] =
      colourIndices_.emplace(keyOf(colour), static_cast<int32_t>(colours.size()));
  if (added) colours.push_back(colour);
  return at->second;
}
