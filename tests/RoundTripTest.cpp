// Properties over seeded random models: the writer's text reads back to itself, and a keyword
// list followed by its inverse gives every vertex back within the rounding of the file format.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "ModelWalk.h"
#include "TestSupport.h"
#include "Vandrel.h"

namespace {

// Values of every magnitude and notation, now and then a special one.
float randomValue(std::mt19937& random) {
  const auto pick = static_cast<uint32_t>(random() % 100);
  if (pick == 0) return std::numeric_limits<float>::infinity();
  if (pick == 1) return -0.0f;
  if (pick == 2) return std::nanf("");
  if (pick < 10) return static_cast<float>(static_cast<int>(random() % 2001) - 1000);
  auto bits = static_cast<uint32_t>(random());
  float value;
  std::memcpy(&value, &bits, sizeof value);
  if (pick < 30 && std::isfinite(value)) return value;
  return std::ldexp(static_cast<float>(random()) / 4294967296.0f - 0.5f,
                    static_cast<int>(random() % 60) - 30);
}

// Finite values below `limit` (model files hold no others).
void fill(Vandrel& driver, std::mt19937& random, float limit) {
  const int objects = static_cast<int>(random() % 12);
  for (int i = 0; i < objects; ++i) {
    auto* object = new LinkNodeHolder;
    const int records = static_cast<int>(random() % 9);
    for (int j = 0; j < records; ++j) {
      float xyz[3];
      for (float& v : xyz) {
        do v = randomValue(random);
        while (!(std::fabs(v) <= limit));
      }
      object->add(xyz[0], xyz[1], xyz[2], 1);
    }
    driver.model->add(object);
  }
  driver.model->reset();
}

std::vector<float> values(LNHHolder& model) {
  std::vector<float> all;
  model.reset();
  walkObjects(model, [&](LinkNodeHolder& object) {
    walkRecords(object, [&](LinkNodeHolder& r) {
      all.insert(all.end(), {r.getX(), r.getY(), r.getZ(), r.getW()});
    });
  });
  return all;
}

}  // namespace

TEST(RoundTrip, WrittenModelsReadBackToTheSameText) {
  QTemporaryDir dir;
  const QString once = dir.filePath(QStringLiteral("once"));
  const QString twice = dir.filePath(QStringLiteral("twice"));
  std::mt19937 random(2024);
  for (int seed = 0; seed < 300; ++seed) {
    Vandrel first;
    fill(first, random, std::numeric_limits<float>::max());
    first.writeFile(once);
    Vandrel second;
    second.loadFile(once);
    second.writeFile(twice);
    ASSERT_EQ(contents(once + ".poly"), contents(twice + ".poly")) << "model " << seed;
  }
}

TEST(RoundTrip, InverseKeywordListGivesVerticesBack) {
  QTemporaryDir dir;
  const QByteArray name = dir.filePath(QStringLiteral("m")).toLocal8Bit();
  std::mt19937 random(7);
  for (int seed = 0; seed < 100; ++seed) {
    Vandrel original;
    fill(original, random, 1e30f);  // room to scale and turn
    original.writeFile(QString::fromLocal8Bit(name));
    const std::vector<float> before = values(*original.model);

    run({"transform", name, "XT", "3.5", "ZD", "30", "US", "2", "YS", "-0.5", "XR", "0.7", "ZT",
         "-1e-3"});
    run({"transform", name, "ZT", "1e-3", "XR", "-0.7", "YS", "-2", "US", "0.5", "ZD", "-30", "XT",
         "-3.5"});
    Vandrel back;
    back.loadFile(QString::fromLocal8Bit(name));
    const std::vector<float> after = values(*back.model);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i + 3 < before.size(); i += 4) {
      // Each write keeps six digits of each coordinate; a turn mixes the coordinates, so the
      // error is relative to the largest of them (and to the translation).
      const double scale = std::max(
          {std::fabs(before[i]), std::fabs(before[i + 1]), std::fabs(before[i + 2]), 3.5f});
      for (size_t k = i; k < i + 3; ++k) {
        EXPECT_NEAR(after[k], before[k], 2e-5 * scale) << "model " << seed << " value " << k;
      }
      EXPECT_EQ(after[i + 3], 1);
    }
  }
}

TEST(RoundTrip, LoadingReplacesTheModelInHand) {
  QTemporaryDir dir;
  const QString small = dir.filePath(QStringLiteral("small"));
  std::mt19937 random(7);
  Vandrel writer;
  fill(writer, random, 1e30f);
  writer.writeFile(small);
  Vandrel reader;
  reader.loadFile(small);
  const std::vector<float> once = values(*reader.model);
  fill(reader, random, 1e30f);  // more objects in hand
  reader.loadFile(small);
  EXPECT_EQ(values(*reader.model), once);
}
