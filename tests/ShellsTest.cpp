// Closed shells are found and turned outward; open surfaces keep their winding.

#include <gtest/gtest.h>

#include <vector>

#include "Shells.h"

namespace {

// A unit cube's six faces, each turned outward (counter-clockwise seen from outside).
Mesh cube(double shift = 0) {
  Mesh m;
  for (int i = 0; i < 8; ++i) {
    m.positions.push_back({float((i & 1) + shift), float((i >> 1) & 1), float((i >> 2) & 1)});
  }
  const uint32_t faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& f : faces) m.addFace(f, 4, Mesh::noColour);
  return m;
}

void reverse(Mesh& m, size_t f) {
  std::reverse(m.corners.begin() + m.faceStart[f], m.corners.begin() + m.faceStart[f + 1]);
}

}  // namespace

TEST(Shells, OutwardCubeIsClosedAndLeftAlone) {
  const Shells s = findShells(cube());
  EXPECT_TRUE(s.closed);
  EXPECT_EQ(s.openEdges, 0u);
  EXPECT_DOUBLE_EQ(s.volume, 1);
  EXPECT_EQ(s.reversed, std::vector<bool>(6, false));
}

TEST(Shells, InwardAndMixedFacesAreTurnedOutward) {
  Mesh inward = cube();
  for (size_t f = 0; f < 6; ++f) reverse(inward, f);
  EXPECT_EQ(findShells(inward).reversed, std::vector<bool>(6, true));
  Mesh mixed = cube();
  reverse(mixed, 2);
  reverse(mixed, 5);
  const Shells s = findShells(mixed);
  EXPECT_TRUE(s.closed);
  EXPECT_DOUBLE_EQ(s.volume, 1);
  EXPECT_EQ(s.reversed, (std::vector<bool>{false, false, true, false, false, true}));
}

TEST(Shells, EachClosedShellOnItsOwn) {
  Mesh two = cube();
  const Mesh second = cube(3);
  const auto offset = uint32_t(two.positions.size());
  two.positions.insert(two.positions.end(), second.positions.begin(), second.positions.end());
  for (size_t f = 0; f < second.faceCount(); ++f) {
    std::vector<uint32_t> v(second.face(f), second.face(f) + 4);
    std::reverse(v.begin(), v.end());  // the second cube inside out
    for (uint32_t& i : v) i += offset;
    two.addFace(v.data(), 4, Mesh::noColour);
  }
  const Shells s = findShells(two);
  EXPECT_TRUE(s.closed);
  EXPECT_DOUBLE_EQ(s.volume, 2);
  for (size_t f = 0; f < 12; ++f) EXPECT_EQ(s.reversed[f], f >= 6) << f;
}

TEST(Shells, OpenSurfacesKeepTheirWinding) {
  Mesh open = cube();
  open.faceStart.pop_back();  // no top: the faces around it have open edges
  open.faceColour.pop_back();
  open.corners.resize(open.faceStart.back());
  reverse(open, 0);
  const Shells s = findShells(open);
  EXPECT_FALSE(s.closed);
  EXPECT_EQ(s.openEdges, 4u);
  EXPECT_EQ(s.reversed, std::vector<bool>(5, false));
  EXPECT_EQ(s.volume, 0);
}
