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

// The x of every record the walk visits, and of every vertex.
std::vector<float> walked(LNHHolder& model, bool verticesOnly) {
  std::vector<float> xs;
  model.reset();
  walkObjects(model, [&](LinkNodeHolder& object) {
    auto visit = [&](LinkNodeHolder& record) { xs.push_back(record.getX()); };
    verticesOnly ? walkVertices(object, visit) : walkRecords(object, visit);
  });
  return xs;
}

}  // namespace

TEST(LinkNodeHolder, AddAppendsAndTheCursorStopsOnTheLastRecord) {
  LinkNodeHolder object;
  EXPECT_FALSE(object.hasCurent());
  for (float x : {1.0f, 5.0f, 9.0f}) object.add(x, x + 1, x + 2, x + 3);
  EXPECT_EQ(object.getX(), 9);
  EXPECT_FALSE(object.hasNext());
  EXPECT_FALSE(object.advance());
  EXPECT_EQ(object.getW(), 12);
  object.reset();
  EXPECT_EQ(object.getY(), 2);
  EXPECT_TRUE(object.advance());
  object.setZ(-1);
  EXPECT_EQ(object.getCurrent()->z, -1);
}

TEST(LNHHolder, CursorPredicatesAreAboutObjects) {
  LNHHolder model;
  EXPECT_FALSE(model.hasCurent());
  model.add(objectOf({1, 2}));
  model.add(objectOf({3}));
  model.reset();
  EXPECT_TRUE(model.hasNext() && model.isNotLast() && model.getCurrent()->hasNextCursor());
  EXPECT_TRUE(model.advance());
  EXPECT_FALSE(model.hasNext() || model.isNotLast() || model.advance());
  EXPECT_EQ(model.getCurrent()->getX(), 3);
}

TEST(ModelWalk, VisitsEveryRecordOnceWhateverTheObjectLength) {
  LNHHolder model;
  EXPECT_TRUE(walked(model, false).empty());
  for (auto xs : {std::initializer_list<float>{1, 2, 3, 4, 5}, {6}, {}, {7, 8}}) {
    model.add(objectOf(xs));
  }
  EXPECT_EQ(walked(model, false), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_FALSE(model.isNotLast());           // ends on the last object
  EXPECT_EQ(model.getCurrent()->getX(), 7);  // with its cursor back on the lead record
  EXPECT_EQ(walked(model, true), (std::vector<float>{2, 3, 4, 5, 8}));
}

TEST(LNHHolder, DestroysLongChainsWithoutRecursion) {
  auto* object = new LinkNodeHolder;
  for (int i = 0; i < 2000000; ++i) object->add(0, 0, 0, 1);
  LNHHolder model;
  model.add(object);
  for (int i = 0; i < 200000; ++i) model.add(new LinkNodeHolder);
}
