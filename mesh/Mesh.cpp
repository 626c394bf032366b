#include "Mesh.h"

void Mesh::addFace(const uint32_t* vertices, size_t count, int32_t colour) {
  corners.insert(corners.end(), vertices, vertices + count);
  faceStart.push_back(static_cast<uint32_t>(corners.size()));
  faceColour.push_back(colour);
}

int32_t Mesh::colourIndex(const Colour& colour) {
  for (size_t i = 0; i < colours.size(); ++i) {
    if (colours[i] == colour) return static_cast<int32_t>(i);
  }
  colours.push_back(colour);
  return static_cast<int32_t>(colours.size() - 1);
}
