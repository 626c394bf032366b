// Parts are found across shared and touching edges and turned outward; welding joins what
// rounding kept apart.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "Parts.h"
#include "Solid.h"
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

// A cube of side `size` from `low`, each face turned outward.
Mesh box(float low, float size) {
  Mesh m = cube();
  for (Position& q : m.positions) q = {low + size * q.x, low + size * q.y, low + size * q.z};
  return m;
}

// Each face as a fan of triangles from its first vertex.
Mesh fans(const Mesh& m) {
  Mesh out;
  out.positions = m.positions;
  for (size_t f = 0; f < m.faceCount(); ++f) {
    for (uint32_t i = 1; i + 1 < m.faceSize(f); ++i) {
      const uint32_t t[3] = {m.face(f)[0], m.face(f)[i], m.face(f)[i + 1]};
      out.addFace(t, 3, Mesh::noColour);
    }
  }
  return out;
}

// The prism between z = 0 and z = 1 over a counter-clockwise outline, faces turned outward.
Mesh prism(const std::vector<std::pair<float, float>>& outline) {
  Mesh m;
  const auto n = uint32_t(outline.size());
  for (float z : {0.0f, 1.0f}) {
    for (const auto& [x, y] : outline) m.positions.push_back({x, y, z});
  }
  std::vector<uint32_t> bottom, top;
  for (uint32_t i = 0; i < n; ++i) {
    bottom.push_back(n - 1 - i);
    top.push_back(n + i);
    const uint32_t side[4] = {i, (i + 1) % n, n + (i + 1) % n, n + i};
    m.addFace(side, 4, Mesh::noColour);
  }
  m.addFace(bottom.data(), n, Mesh::noColour);
  m.addFace(top.data(), n, Mesh::noColour);
  return m;
}

void reverse(Mesh& m, size_t f) {
  std::reverse(m.corners.begin() + m.faceStart[f], m.corners.begin() + m.faceStart[f + 1]);
}

// Checks that weldedPartsNear finds, for the faces it joins to the wanted ones, what
// weldedParts finds in the whole mesh, numbered in the same order, and returns which faces
// those are.
std::vector<bool> expectAsInTheWhole(const Mesh& m, const std::vector<char>& wanted) {
  const WeldedParts whole = weldedParts(m, defaultWeld);
  const WeldedParts near = weldedPartsNear(m, defaultWeld, wanted);
  std::vector<bool> joined(m.faceCount());
  std::vector<uint32_t> faces, positions;
  std::vector<std::pair<uint32_t, uint32_t>> shells;  // of hollows: found near, in the whole
  for (size_t f = 0; f < m.faceCount(); ++f) {
    joined[f] = near.parts.part[f] != Parts::noPart;
    if (wanted[f]) {
      EXPECT_TRUE(joined[f]) << f;
    }
    if (!joined[f]) continue;
    faces.push_back(uint32_t(f));
    EXPECT_EQ(near.parts.reversed[f], whole.parts.reversed[f]) << f;
    const uint32_t nearShell = near.parts.parts[near.parts.part[f]].shell;
    const uint32_t wholeShell = whole.parts.parts[whole.parts.part[f]].shell;
    EXPECT_EQ(nearShell == Parts::noPart, wholeShell == Parts::noPart) << f;
    if (nearShell != Parts::noPart) shells.emplace_back(nearShell, wholeShell);
    EXPECT_EQ(near.parts.parts[near.parts.part[f]].closed,
              whole.parts.parts[whole.parts.part[f]].closed)
        << f;
    positions.insert(positions.end(), m.face(f), m.face(f) + m.faceSize(f));
  }
  // Numbered in the same order: sorted by the numbers found near, those of the whole follow
  // them, equal where they are equal and rising where they rise.
  auto expectSameOrder = [](std::vector<std::pair<uint32_t, uint32_t>> numbers, const char* what) {
    std::sort(numbers.begin(), numbers.end());
    for (size_t i = 1; i < numbers.size(); ++i) {
      const auto& [found, inWhole] = numbers[i];
      const auto& [foundBefore, inWholeBefore] = numbers[i - 1];
      EXPECT_EQ(found == foundBefore, inWhole == inWholeBefore) << what << " " << found;
      EXPECT_TRUE(inWhole >= inWholeBefore) << what << " " << found;
    }
  };
  std::vector<std::pair<uint32_t, uint32_t>> partNumbers, vertexNumbers;
  for (uint32_t f : faces) partNumbers.emplace_back(near.parts.part[f], whole.parts.part[f]);
  partNumbers.insert(partNumbers.end(), shells.begin(), shells.end());
  for (uint32_t p : positions) vertexNumbers.emplace_back(near.vertex[p], whole.vertex[p]);
  expectSameOrder(partNumbers, "part");
  expectSameOrder(vertexNumbers, "vertex");
  return joined;
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

TEST(Parts, APartInsideAnotherIsAHollowAndOneInsideThatASolidAgain) {
  // A box of 10 holding one of 4, which holds one of 2; the middle one is a hollow, turned to
  // face into it whichever way it was written. Beside them, one of 4 that touches the big box's
  // face from inside, and so lies in it but not strictly in its box: a solid of its own.
  for (const bool insideOut : {false, true}) {
    Mesh m = box(0, 10);
    append(m, box(3, 4), insideOut);
    append(m, box(4, 2));
    const Parts p = findParts(m);
    ASSERT_EQ(p.parts.size(), 3u);
    EXPECT_EQ(p.parts[0].shell, Parts::noPart);
    EXPECT_EQ(p.parts[1].shell, 0u);
    EXPECT_EQ(p.parts[2].shell, Parts::noPart);
    EXPECT_DOUBLE_EQ(p.parts[1].volume, -64);
    EXPECT_DOUBLE_EQ(p.volume, 1000 - 64 + 8);
    for (size_t f = 6; f < 12; ++f) EXPECT_EQ(p.reversed[f], !insideOut) << f;
    EXPECT_EQ(p.inwardFaces, insideOut ? 0u : 6u);
    EXPECT_EQ(p.solidOf(1), 0u);
    EXPECT_EQ(p.solidOf(2), 2u);
  }
  // The same with every face split into triangles: seen from above, the inner boxes' corners
  // lie on the diagonals of the big box's top and bottom.
  Mesh split = box(0, 10);
  append(split, box(3, 4));
  append(split, box(4, 2));
  const Parts f = findParts(fans(split));
  EXPECT_EQ(f.parts[1].shell, 0u);
  EXPECT_DOUBLE_EQ(f.volume, 1000 - 64 + 8);
  Mesh touching = box(0, 10);
  Mesh against = box(0, 4);
  for (Position& q : against.positions) q = {q.x, q.y + 3, q.z + 3};
  append(touching, against);
  const Parts t = findParts(touching);
  EXPECT_EQ(t.parts[1].shell, Parts::noPart);
  EXPECT_DOUBLE_EQ(t.volume, 1064);
}

TEST(Parts, APartThatReachesAcrossAGapIsNoHollow) {
  // A U and a bar from one arm to the other: every corner of the bar lies inside the U, but its
  // middle crosses the gap, outside it.
  Mesh m = prism({{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}});
  Mesh bar = prism({{0.25f, 2}, {2.75f, 2}, {2.75f, 2.5f}, {0.25f, 2.5f}});
  for (Position& q : bar.positions) q.z = q.z == 0 ? 0.25f : 0.75f;
  append(m, bar);
  const Parts p = findParts(m);
  ASSERT_EQ(p.parts.size(), 2u);
  EXPECT_EQ(p.parts[1].shell, Parts::noPart);
  EXPECT_DOUBLE_EQ(p.volume, 7 + 2.5 * 0.5 * 0.5);
  // The same with a gap so narrow that the middles of the bar's triangles all lie in the arms:
  // the middles of its long edges lie in the gap.
  Mesh narrow = prism({{0, 0}, {3, 0}, {3, 3}, {1.6f, 3}, {1.6f, 1}, {1.4f, 1}, {1.4f, 3}, {0, 3}});
  append(narrow, fans(bar));
  const Parts n = findParts(narrow);
  ASSERT_TRUE(n.closed);
  EXPECT_EQ(n.parts[1].shell, Parts::noPart);
  // One arm's length of it is a hollow in the U.
  Mesh arm = prism({{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}});
  Mesh stub = prism({{0.25f, 2}, {0.75f, 2}, {0.75f, 2.5f}, {0.25f, 2.5f}});
  for (Position& q : stub.positions) q.z = q.z == 0 ? 0.25f : 0.75f;
  append(arm, stub);
  EXPECT_EQ(findParts(arm).parts[1].shell, 0u);
}

TEST(Parts, BoxesNestedInOneAnotherAreSolidsAndHollowsInTurn) {
  // Forty cubes about one centre, written from the smallest out: each inside all that come after
  // it, a hollow where that makes an odd number, in the one just larger.
  const int count = 40;
  Mesh m;
  double volume = 0;
  for (int k = 0; k < count; ++k) {
    const auto size = float(2 * k + 2);
    append(m, box(float(count) - size / 2, size));
    volume += ((count - 1 - k) % 2 == 1 ? -1 : 1) * double{size} * size * size;
  }
  const Parts p = findParts(m);
  ASSERT_EQ(p.parts.size(), size_t(count));
  for (uint32_t k = 0; k < count; ++k) {
    EXPECT_EQ(p.parts[k].shell, (count - 1 - k) % 2 == 1 ? k + 1 : Parts::noPart) << k;
  }
  EXPECT_DOUBLE_EQ(p.volume, volume);
}

TEST(Parts, AConcaveHollowIsSeenWhereItsVerticesMeanLiesOutsideTheShell) {
  // A U-shaped hollow in the wall of a U: the mean of its top's corners lies in the U's gap.
  Mesh m = prism({{0, 0}, {10, 0}, {10, 10}, {7, 10}, {7, 3}, {3, 3}, {3, 10}, {0, 10}});
  for (Position& q : m.positions) q.z *= 5;
  Mesh hollow = prism({{1, 1}, {9, 1}, {9, 9}, {8, 9}, {8, 2}, {2, 2}, {2, 9}, {1, 9}});
  for (Position& q : hollow.positions) q.z = q.z == 0 ? 1 : 4;
  append(m, hollow);
  const Parts p = findParts(m);
  ASSERT_EQ(p.parts.size(), 2u);
  EXPECT_EQ(p.parts[1].shell, 0u);
  EXPECT_DOUBLE_EQ(p.volume, 72 * 5 - 22 * 3);
}

TEST(Parts, APartOverAHoleThroughTheOtherIsNoHollow) {
  // A square frame of 4 round a hole of 2, and a slab in it whose corners and edges all lie in
  // the frame's sides but whose top and bottom span the hole.
  Mesh m;
  const float square[2][4][2] = {{{0, 0}, {4, 0}, {4, 4}, {0, 4}},
                                 {{1, 1}, {3, 1}, {3, 3}, {1, 3}}};
  for (int z = 0; z < 2; ++z) {
    for (const auto& ring : square) {
      for (const auto& c : ring) m.positions.push_back({c[0], c[1], float(z)});
    }
  }
  const auto at = [](uint32_t ring, uint32_t k, uint32_t z) { return 8 * z + 4 * ring + k % 4; };
  for (uint32_t k = 0; k < 4; ++k) {
    const uint32_t faces[4][4] = {{at(0, k, 0), at(0, k + 1, 0), at(0, k + 1, 1), at(0, k, 1)},
                                  {at(1, k + 1, 0), at(1, k, 0), at(1, k, 1), at(1, k + 1, 1)},
                                  {at(0, k, 1), at(0, k + 1, 1), at(1, k + 1, 1), at(1, k, 1)},
                                  {at(1, k, 0), at(1, k + 1, 0), at(0, k + 1, 0), at(0, k, 0)}};
    for (const auto& f : faces) m.addFace(f, 4, Mesh::noColour);
  }
  Mesh slab = prism({{0.5f, 0.5f}, {3.5f, 0.5f}, {3.5f, 3.5f}, {0.5f, 3.5f}});
  for (Position& q : slab.positions) q.z = q.z == 0 ? 0.4f : 0.6f;
  append(m, slab);
  const Parts p = findParts(m);
  ASSERT_EQ(p.parts.size(), 2u);
  EXPECT_TRUE(p.parts[0].closed);
  EXPECT_EQ(p.parts[1].shell, Parts::noPart);
  EXPECT_NEAR(p.volume, 12 + 9 * 0.2, 1e-6);
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

// Positions that crowd the weld's cells, as a model with many corners on the axes does: a
// hundred thousand in a square ten times the distance across, against the weld worked out by
// looking at every kept position in turn.
TEST(Weld, CrowdedPositionsWeldAsTheFirstKeptOneCloserThanTheDistance) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> within(0, 10);
  Mesh m;
  for (int i = 0; i < 100000; ++i) m.positions.push_back({within(random), within(random), 0.5f});
  std::vector<uint32_t> want;
  std::vector<Position> kept;
  for (const Position& p : m.positions) {
    uint32_t k = 0;
    for (; k < kept.size(); ++k) {
      const double x = double{kept[k].x} - p.x, y = double{kept[k].y} - p.y;
      if (x * x + y * y < 1) break;
    }
    if (k == kept.size()) kept.push_back(p);
    want.push_back(k);
  }
  m.positions.push_back({0, 0, 0});  // the corner of the cube, so that the bounds are as said
  m.positions.push_back({10, 10, 10});
  const std::vector<uint32_t> to = weldedVertices(m, 1);
  EXPECT_EQ(std::vector<uint32_t>(to.begin(), to.end() - 2), want);
}

// A million and more positions, welded in two halves of space at once where none lies close to
// one across the plane between them: in clusters of copies within a quarter of the distance, the
// clusters three times the distance apart and their copies shuffled through the list, so that
// each copy joins its cluster's first and the kept ones are numbered in the order of the list.
// The copies of a cluster share their x, so that no plane x = c parts them; or not, so that the
// plane through the middle parts some and the weld takes them in one pass.
TEST(Weld, ManyPositionsWeldAsOnePassWouldHalvesOrNot) {
  std::mt19937 random(5);
  for (const bool sameX : {true, false}) {
    const size_t clusters = 400000, copies = 3;
    std::vector<std::pair<uint32_t, Position>> list;  // cluster, position
    std::uniform_real_distribution<float> jitter(-0.2f, 0.2f);
    for (uint32_t c = 0; c < clusters; ++c) {
      const float x = float(c % 1000) * 3, y = float(c / 1000) * 3;
      for (size_t k = 0; k < copies; ++k) {
        list.push_back({c, {sameX ? x : x + jitter(random), y + jitter(random), jitter(random)}});
      }
    }
    std::shuffle(list.begin(), list.end(), random);
    Mesh m;
    std::vector<uint32_t> want(list.size());
    std::vector<uint32_t> number(clusters, UINT32_MAX);
    uint32_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i) {
      m.positions.push_back(list[i].second);
      uint32_t& n = number[list[i].first];
      if (n == UINT32_MAX) n = kept++;
      want[i] = n;
    }
    ASSERT_GT(m.positions.size(), size_t{1} << 20);
    EXPECT_EQ(weldedVertices(m, 1), want) << (sameX ? "copies at one x" : "copies apart in x");
  }
}

TEST(Parts, NearTheWantedFacesAsInTheWholeMesh) {
  // Cubes 0 to 4 along x, about 30 across (a weld distance of about 3e-4): cube 1 shares no
  // position with cube 0 but lies 1e-4 from it, and welds to it; cube 2 is inside out, cube 3
  // open, cube 4 two of them touching along an edge.
  Mesh m = cube();
  Mesh nearly = cube(1.0001);
  append(m, nearly);
  append(m, cube(10), true);
  Mesh open = cube(20);
  open.faceStart.pop_back();
  open.faceColour.pop_back();
  open.corners.resize(open.faceStart.back());
  append(m, open);
  Mesh edge = cube(29);
  Mesh diagonal = cube(30);
  for (Position& q : diagonal.positions) q.y += 1;
  append(edge, diagonal);
  append(m, shared(edge));
  m = shared(m);  // positions equal bit for bit are one, as the model's mesh has them
  auto faces = [&](size_t first, size_t last) {
    std::vector<char> wanted(m.faceCount(), 0);
    for (size_t f = first; f < last; ++f) wanted[f] = 1;
    return wanted;
  };
  auto range = [&](size_t first, size_t last) {
    std::vector<bool> r(m.faceCount(), false);
    for (size_t f = first; f < last; ++f) r[f] = true;
    return r;
  };
  EXPECT_EQ(expectAsInTheWhole(m, faces(0, 1)), range(0, 12));
  EXPECT_EQ(expectAsInTheWhole(m, faces(7, 8)), range(0, 12));
  EXPECT_EQ(expectAsInTheWhole(m, faces(12, 18)), range(12, 18));
  EXPECT_EQ(expectAsInTheWhole(m, faces(20, 21)), range(18, 23));
  EXPECT_EQ(expectAsInTheWhole(m, faces(30, 31)), range(23, 35));
  // Where the wanted faces are most of the mesh, it is all welded, as in the whole.
  std::vector<bool> all(m.faceCount(), true);
  EXPECT_EQ(expectAsInTheWhole(m, faces(0, 30)), all);
  // A wanted face's positions are vertices; those of faces far from them are none.
  const WeldedParts near = weldedPartsNear(m, defaultWeld, faces(12, 13));
  EXPECT_NE(near.vertex[m.face(12)[0]], noVertex);
  EXPECT_EQ(near.vertex[m.face(0)[0]], noVertex);
}

TEST(Parts, ClustersFarApartWeldedAFewAtATimeAsInTheWholeMesh) {
  // 20,000 groups of cubes 4 apart, enough for several batches of clusters, of the five kinds
  // above: a cube with a hollow, two that weld across 1e-4, one inside out, one open, two along an
  // edge.
  Mesh m;
  auto add = [&m](Mesh piece, float x, float y, float z, bool insideOut = false) {
    for (Position& q : piece.positions) q = {q.x + x, q.y + y, q.z + z};
    append(m, piece, insideOut);
  };
  for (int k = 0; k < 20000; ++k) {
    const float x = 4.0f * float(k % 40), y = 4.0f * float(k / 40 % 25), z = 4.0f * float(k / 1000);
    switch (k % 5) {
      case 0:  // with a hollow
        add(cube(), x, y, z);
        add(box(0.25f, 0.5f), x, y, z);
        break;
      case 1:
        add(cube(), x, y, z);
        add(cube(1.0001), x, y, z);
        break;
      case 2:
        add(cube(), x, y, z, true);
        break;
      case 3: {
        Mesh open = cube();
        open.faceStart.pop_back();
        open.faceColour.pop_back();
        open.corners.resize(open.faceStart.back());
        add(open, x, y, z);
        break;
      }
      default:
        add(cube(), x, y, z);
        add(cube(), x + 1, y + 1, z);
    }
  }
  m = shared(m);
  EXPECT_EQ(expectAsInTheWhole(m, std::vector<char>(m.faceCount(), 1)),
            std::vector<bool>(m.faceCount(), true));
  std::vector<char> some(m.faceCount(), 0);
  for (size_t f = 0; f < m.faceCount(); f += 131) some[f] = 1;
  const std::vector<bool> joined = expectAsInTheWhole(m, some);
  EXPECT_LT(std::count(joined.begin(), joined.end(), true), long(m.faceCount()) / 10);
}
