#include <gtest/gtest.h>

#include "ListOfPoints.h"
#include "ListOfProjPoints.h"
#include "ListOfVectors.h"
#include "StreamText.h"

namespace {

ListOfPoints numbered(int n) {
  ListOfPoints list;
  for (int i = 0; i < n; ++i) list.add(Point(i, 2 * i, 3 * i));
  return list;
}

}  // namespace

TEST(ListOf, GrowsBy64AndKeepsElements) {
  ListOfPoints list;
  EXPECT_EQ(list.length(), 0);
  EXPECT_EQ(list.getCapacity(), 0);
  for (int i = 0; i < 64; ++i) list.add(Point(i, 0, 0));
  EXPECT_EQ(list.getCapacity(), 64);
  list.add(Point(64, 0, 0));
  EXPECT_EQ(list.getCapacity(), 128);
  for (int i = 65; i < 129; ++i) list.add(Point(i, 0, 0));
  EXPECT_EQ(list.getCapacity(), 192);
  for (int i = 0; i < 129; ++i) ASSERT_EQ(list[i].x, i);
}

TEST(ListOf, SelfAppendSurvivesGrowth) {
  ListOfPoints list = numbered(64);
  list.add(list[0]);  // the storage grows while the element is read
  EXPECT_EQ(list[64], Point(0, 0, 0));
  ListOfPoints twice = numbered(40);
  twice.add(twice);
  ASSERT_EQ(twice.length(), 80);
  for (int i = 0; i < 80; ++i) EXPECT_EQ(twice[i].x, i % 40);
}

TEST(ListOf, CopiesAreDeepAndSized) {
  ListOfPoints big = numbered(100);
  big.add(Point());  // capacity 128
  ListOfPoints small = numbered(3);
  small = big;
  EXPECT_EQ(small.length(), 101);
  EXPECT_EQ(small.getCapacity(), 128);
  small[0] = Point(9, 9, 9);
  EXPECT_EQ(big[0], PointZero);
  const ListOfPoints& self = small;
  small = self;
  EXPECT_EQ(small.length(), 101);
}

TEST(ListOf, SubListsAndAverage) {
  const ListOfPoints five = numbered(5);
  const ListOfPoints part = five(1, 3);
  ASSERT_EQ(part.length(), 2);
  EXPECT_EQ(part[0], Point(1, 2, 3));
  EXPECT_EQ(part[1], Point(2, 4, 6));
  EXPECT_EQ(five(3, 3).length(), 0);
  EXPECT_EQ(five(4, 1).length(), 0);
  EXPECT_EQ(ListOfPoints().average(), PointZero);
  const Point pair[] = {Point(0, 0, 0), Point(2, 4, 6)};
  EXPECT_EQ(ListOfPoints(pair, 2).average(), Point(1, 2, 3));
}

TEST(ListOf, OutputFormats) {
  EXPECT_EQ(text(ListOfPoints()), "(  )");
  EXPECT_EQ(text(ListOfVectors()), "(  )\n");
  const ListOfPoints two = numbered(2);
  EXPECT_EQ(text(two), "( ( 0, 0, 0 ), ( 1, 2, 3 ) )");
  EXPECT_EQ(text(&two), text(two));
  ListOfProjPoints projective;
  projective.add(ProjPoint());
  EXPECT_EQ(text(projective), "( ( 0, 0, 0, 1 ) )\n");
}
