#include <gtest/gtest.h>

#include <vector>

#include "Vandrel.h"

namespace {

Transformation parse(std::vector<const char*> words) {
  words.insert(words.begin(), {"vandrel", "transform", "m"});
  Vandrel driver;
  return driver.parseParams(3, int(words.size()), const_cast<char**>(words.data()),
                            Transformation());
}

}  // namespace

TEST(ParseParams, StepsActInCommandLineOrder) {
  const Transformation t = parse({"XT", "1", "XS", "2"});
  // Translate, then scale: the translation is scaled too.
  EXPECT_EQ(t.matrix(0, 0), 2);
  EXPECT_EQ(t.matrix(3, 0), 2);
  EXPECT_EQ(t.matrix(3, 3), 1);
  EXPECT_EQ(parse({"XS", "2", "XT", "1"}).matrix(3, 0), 1);
  EXPECT_EQ(parse({"XT", "2", "ZD", "90"}), translate_by(2, 0, 0) * z_rotate_by(90));
  EXPECT_EQ(parse({}), identity());
}

TEST(ParseParams, RadiansConvertWithTheRoundedFactor) {
  // One radian is 57.29577951308402 degrees, rounded to float.
  EXPECT_EQ(parse({"ZR", "1"}), z_rotate_by(57.295780181884765625));
  EXPECT_EQ(parse({"XR", "1", "YR", "1"}),
            x_rotate_by(57.295780181884765625) * y_rotate_by(57.295780181884765625));
}

TEST(DoMult, StoresTheHomogeneousResultWithoutDivision) {
  Vandrel driver;
  auto* object = new LinkNodeHolder;
  object->add(9, 9, 9, 1);
  object->add(1, 2, 3, 1);
  driver.model->add(object);
  driver.doMult(identity() + scale_by(0, 0, 0));  // m[3][3] = 2
  object->reset();
  EXPECT_EQ(object->getW(), 1);  // the lead record stays
  object->advance();
  EXPECT_EQ(object->getX(), 1);
  EXPECT_EQ(object->getW(), 2);
}
