#include <gtest/gtest.h>

#include <vector>

#include "LNHHolder.h"
#include "ModelWalk.h"

namespace {

LinkNodeHolder* objectOf(std::initializer_list<float> xs) {
  auto* object = new LinkNodeHolder;
  for (float x : xs) object->add(x, 0, 0, 1);
  return object;
}

std::vector<float> walkedX(LNHHolder& model) {
  std::vector<float> xs;
  model.reset();
  walkObjects(model, [&](LinkNodeHolder& object) {
    walkRecords(object, [&](LinkNodeHolder& record) { xs.push_back(record.getX()); });
  });
  return xs;
}

}  // namespace

TEST(LinkNodeHolder, AddAppendsAndResetReturnsToFirst) {
  LinkNodeHolder object;
  EXPECT_FALSE(object.hasCurent());
  object.add(1, 2, 3, 4);
  object.add(5, 6, 7, 8);
  object.add(9, 10, 11, 12);
  EXPECT_EQ(object.getX(), 9);
  EXPECT_FALSE(object.hasNext());
  EXPECT_FALSE(object.advance());
  EXPECT_EQ(object.getW(), 12);
  object.reset();
  EXPECT_EQ(object.getY(), 2);
  EXPECT_TRUE(object.advance());
  EXPECT_EQ(object.getZ(), 7);
  object.setZ(-1);
  EXPECT_EQ(object.getCurrent()->z, -1);
}

TEST(LNHHolder, CursorPredicatesAreAboutObjects) {
  LNHHolder model;
  EXPECT_FALSE(model.hasCurent());
  model.add(objectOf({1, 2}));
  model.add(objectOf({3}));
  model.reset();
  EXPECT_TRUE(model.hasNext());
  EXPECT_TRUE(model.isNotLast());
  EXPECT_TRUE(model.getCurrent()->hasNextCursor());
  EXPECT_TRUE(model.advance());
  EXPECT_FALSE(model.hasNext());
  EXPECT_FALSE(model.isNotLast());
  EXPECT_FALSE(model.advance());
  EXPECT_EQ(model.getCurrent()->getX(), 3);
}

TEST(ModelWalk, VisitsEveryRecordOnceAndEndsOnTheLastObject) {
  LNHHolder model;
  model.add(objectOf({1, 2, 3, 4, 5}));
  model.add(objectOf({6, 7, 8}));
  EXPECT_EQ(walkedX(model), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_FALSE(model.isNotLast());
  EXPECT_EQ(model.getCurrent()->getX(), 6);  // object cursor back on the lead record
}

TEST(ModelWalk, ShortAndEmptyObjectsAreVisitedOnce) {
  LNHHolder model;
  model.add(objectOf({1}));
  model.add(objectOf({}));
  model.add(objectOf({2, 3}));
  EXPECT_EQ(walkedX(model), (std::vector<float>{1, 2, 3}));

  std::vector<float> vertices;
  model.reset();
  walkObjects(model, [&](LinkNodeHolder& object) {
    walkVertices(object, [&](LinkNodeHolder& record) { vertices.push_back(record.getX()); });
  });
  EXPECT_EQ(vertices, std::vector<float>{3});
}

TEST(ModelWalk, EmptyModelVisitsNothing) {
  LNHHolder model;
  EXPECT_TRUE(walkedX(model).empty());
}

TEST(LNHHolder, DestroysLongChainsWithoutRecursion) {
  auto* object = new LinkNodeHolder;
  for (int i = 0; i < 2000000; ++i) object->add(0, 0, 0, 1);
  LNHHolder model;
  model.add(object);
  for (int i = 0; i < 200000; ++i) model.add(new LinkNodeHolder);
}
