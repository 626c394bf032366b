// Parts are found across shared and touching edges and turned outward; welding joins what
// rounding kept apart.

#include <gtest/gtest.h>

#include <vector>

#include "Parts.h"
#include "Weld.h"

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

// `b` added to `a`, its vertices after a's, each face turned round where `inside out`.
void append(Mesh& a, const Mesh& b, bool insideOut = false) {
  const auto offset = uint32_t(a.positions.size());
  a.positions.insert(a.positions.end(), b.positions.begin(), b.positions.end());
  for (size_t f = 0; f < b.faceCount(); ++f) {
    std::vector<uint32_t> v(b.face(f), b.face(f) + b.faceSize(f));
    if (insideOut) std::reverse(v.begin(), v.end());
    for (uint32_t& i : v) i += offset;
    a.addFace(v.data(), v.size(), Mesh::noColour);
  }
}

// The vertices that are equal shared, as the model's mesh shares them.
Mesh shared(const Mesh& m) {
  Mesh out = m;
  weld(out, 1e-9);
  return out;
}

void reverse(Mesh& m, size_t f) {
  std::reverse(m.corners.begin() + m.faceStart[f], m.corners.begin() + m.faceStart[f + 1]);
}

}  // namespace

TEST(Parts, OutwardCubeIsClosedAndLeftAlone) {
  const Parts p = findParts(cube());
  EXPECT_TRUE(p.closed);
  EXPECT_EQ(p.parts.size(), 1u);
  EXPECT_EQ(p.openEdges, 0u);
  EXPECT_DOUBLE_EQ(p.volume, 1);
  EXPECT_EQ(p.reversed, std::vector<bool>(6, false));
}

TEST(Parts, InwardAndMixedFacesAreTurnedOutward) {
  Mesh inward = cube();
  for (size_t f = 0; f < 6; ++f) reverse(inward, f);
  EXPECT_EQ(findParts(inward).reversed, std::vector<bool>(6, true));
  Mesh mixed = cube();
  reverse(mixed, 2);
  reverse(mixed, 5);
  const Parts p = findParts(mixed);
  EXPECT_TRUE(p.closed);
  EXPECT_DOUBLE_EQ(p.volume, 1);
  EXPECT_EQ(p.inwardFaces, 2u);
  EXPECT_EQ(p.reversed, (std::vector<bool>{false, false, true, false, false, true}));
}

TEST(Parts, EachClosedPartOnItsOwn) {
  Mesh two = cube();
  append(two, cube(3), true);
  const Parts p = findParts(two);
  EXPECT_TRUE(p.closed);
  EXPECT_EQ(p.parts.size(), 2u);
  EXPECT_DOUBLE_EQ(p.volume, 2);
  for (size_t f = 0; f < 12; ++f) EXPECT_EQ(p.reversed[f], f >= 6) << f;
}

TEST(Parts, CubesTouchingAlongAnEdgeAreTwoClosedParts) {
  Mesh two = cube();
  Mesh diagonal = cube(1);
  for (Position& q : diagonal.positions) q.y += 1;  // shares the edge x = 1, y = 1
  append(two, diagonal, true);
  const Parts p = findParts(shared(two));
  EXPECT_TRUE(p.closed);
  EXPECT_EQ(p.parts.size(), 2u);
  EXPECT_EQ(p.touchingEdges, 1u);
  EXPECT_EQ(p.openEdges, 0u);
  EXPECT_DOUBLE_EQ(p.volume, 2);
  EXPECT_EQ(p.part[0] == p.part[6], false);
}

TEST(Parts, ACubeTwiceIsTwoClosedParts) {
  Mesh twice = cube();
  append(twice, cube());
  const Parts p = findParts(shared(twice));
  EXPECT_TRUE(p.closed);
  EXPECT_EQ(p.parts.size(), 2u);
  EXPECT_EQ(p.touchingEdges, 12u);
  EXPECT_EQ(p.openEdges, 0u);
  EXPECT_DOUBLE_EQ(p.volume, 2);
}

TEST(Parts, OpenSurfacesFaceOutOfTheirCentroid) {
  Mesh open = cube();
  open.faceStart.pop_back();  // no x = 1 side: the faces around it have open edges
  open.faceColour.pop_back();
  open.corners.resize(open.faceStart.back());
  reverse(open, 0);
  const Parts p = findParts(open);
  EXPECT_FALSE(p.closed);
  EXPECT_EQ(p.openEdges, 4u);
  EXPECT_EQ(p.reversed, (std::vector<bool>{true, false, false, false, false}));
  EXPECT_EQ(p.volume, 0);
  // A flat polygon keeps its winding, whichever way it turns.
  Mesh square;
  square.positions = {{0, 0, 5}, {0, 1, 5}, {1, 1, 5}, {1, 0, 5}};
  const uint32_t v[4] = {0, 1, 2, 3};
  square.addFace(v, 4, Mesh::noColour);
  EXPECT_EQ(findParts(square).reversed, std::vector<bool>{false});
}

TEST(Weld, JoinsPositionsCloserThanTheDistanceAndDropsFacesLeftFlat) {
  Mesh m = cube();
  // A copy of vertex 7 off by rounding noise, and a sliver whose width welding takes away.
  m.positions.push_back({1, 1, 1.000001f});
  m.corners[m.faceStart[1] + 2] = 8;
  m.positions.push_back({1, 0, 4.66906e-07f});
  const uint32_t sliver[3] = {0, 1, 9};
  m.addFace(sliver, 3, Mesh::noColour);
  EXPECT_FALSE(findParts(m).closed);
  EXPECT_EQ(weld(m, defaultWeldDistance(m)), 1u);
  EXPECT_EQ(m.positions.size(), 8u);
  EXPECT_EQ(m.faceCount(), 6u);
  EXPECT_TRUE(findParts(m).closed);
  // Distance 0 shares only equal bits.
  Mesh near = cube();
  near.positions.push_back({1, 1, 1.000001f});
  near.corners[near.faceStart[1] + 2] = 8;
  EXPECT_EQ(weld(near, 0), 0u);
  EXPECT_EQ(near.positions.size(), 9u);
}

TEST(Weld, APositionNearTwoKeptOnesJoinsTheFirst) {
  // a and b lie 1.2 apart and are both kept; p, 0.6 from each, joins a, the first, whichever
  // lies first in the cells looked at. Around the origin and far from it, so that the pairs
  // share a cell or not.
  for (const float at : {0.0f, 0.55f, 100.3f}) {
    Mesh m;
    m.positions = {{at, 0, 0}, {at + 1.2f, 0, 0}, {at + 0.6f, 0, 0}, {at + 50, 50, 50}};
    const std::vector<uint32_t> to = weldedVertices(m, 1);
    EXPECT_EQ(to, (std::vector<uint32_t>{0, 1, 0, 2})) << at;
  }
}
