// The retriangulation of cut faces: inner vertices go, the region and its facing stay, and only
// pieces of one lead record in one plane become one face.

#include <gtest/gtest.h>

#include <set>

#include "PlanarPatches.h"

namespace {

// Two unit squares side by side in z = 0, x from 0 to 2, each a fan of four triangles about a
// centre vertex (the second's centre lifted by `lift`), facing +z; labels 0 and 1.
struct Fans {
  std::vector<Vec3> positions;
  std::vector<uint32_t> corners, labels;

  explicit Fans(double lift) {
    positions = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0},     {2, 1, 0},
                 {1, 1, 0}, {0, 1, 0}, {0.5, 0.5, 0}, {1.5, 0.5, lift}};
    const uint32_t fans[2][5] = {{0, 1, 4, 5, 6}, {1, 2, 3, 4, 7}};
    for (uint32_t f = 0; f < 2; ++f) {
      for (uint32_t k = 0; k < 4; ++k) {
        corners.insert(corners.end(), {fans[f][k], fans[f][(k + 1) % 4], fans[f][4]});
        labels.push_back(f);
      }
    }
  }
  double signedArea() const {  // seen from +z
    double sum = 0;
    for (size_t t = 0; t < labels.size(); ++t) {
      const Vec3 &a = positions[corners[3 * t]], &b = positions[corners[3 * t + 1]],
                 &c = positions[corners[3 * t + 2]];
      sum += cross(b - a, c - a).z / 2;
    }
    return sum;
  }
  std::set<uint32_t> used() const { return {corners.begin(), corners.end()}; }
};

Labels cut(std::vector<uint32_t> kin) {
  Labels labels;
  labels.split.assign(kin.size(), 1);
  labels.kin = std::move(kin);
  return labels;
}

}  // namespace

TEST(PlanarPatches, InnerVerticesGoAndTheRegionStays) {
  Fans fans(0);
  retriangulatePlanarPatches(fans.positions, &fans.corners, &fans.labels, cut({0, 1}));
  // Two faces of different lead records: each a square of two triangles, its own label.
  ASSERT_EQ(fans.labels, (std::vector<uint32_t>{0, 0, 1, 1}));
  EXPECT_EQ(fans.used(), (std::set<uint32_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_DOUBLE_EQ(fans.signedArea(), 2);
}

TEST(PlanarPatches, PiecesOfOneLeadRecordInOnePlaneAreOneFace) {
  Fans fans(0);
  retriangulatePlanarPatches(fans.positions, &fans.corners, &fans.labels, cut({0, 0}));
  // One face of the first label; the vertices along the outline stay, the shared ones too.
  EXPECT_EQ(fans.labels, (std::vector<uint32_t>(4, 0)));
  EXPECT_EQ(fans.used(), (std::set<uint32_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_DOUBLE_EQ(fans.signedArea(), 2);
}

TEST(PlanarPatches, WhatIsNotInOnePlaneOrNotCutStays) {
  Fans lifted(0.1);
  const Fans before = lifted;
  Labels labels = cut({0, 0});
  labels.split[0] = 0;  // the first square was not cut
  retriangulatePlanarPatches(lifted.positions, &lifted.corners, &lifted.labels, labels);
  EXPECT_EQ(lifted.corners, before.corners);
  EXPECT_EQ(lifted.labels, before.labels);
}
