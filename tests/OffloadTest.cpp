// A union worked out in a child process arrives as the same solid as one worked out here, with
// the faces it split marked; the child's failure is thrown here.

#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

#include "Failure.h"
#include "Offload.h"

namespace {

// A box from `low` to low + 2 on each axis, twelve outward triangles, labelled from `label` by
// side (two triangles a side).
ExactSolid box(float low, uint32_t label) {
  std::vector<Position> p;
  for (int i = 0; i < 8; ++i) {
    p.push_back({low + 2.0f * float(i & 1), low + 2.0f * float((i >> 1) & 1),
                 low + 2.0f * float((i >> 2) & 1)});
  }
  const uint32_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  std::vector<uint32_t> corners, labels;
  for (uint32_t s = 0; s < 6; ++s) {
    const uint32_t* q = sides[s];
    corners.insert(corners.end(), {q[0], q[1], q[2], q[0], q[2], q[3]});
    labels.insert(labels.end(), {label + s, label + s});
  }
  return ExactSolid(p, corners, labels);
}

// The union of two overlapping boxes; in a process other than `here`, where `onlyHere`, it
// refuses to be made.
OffloadedSolid::Work twoBoxes(pid_t here, bool onlyHere) {
  return [here, onlyHere](Labels* labels) {
    if (onlyHere && getpid() != here) throw std::logic_error("not here");
    ExactSolid a = box(0, 0);
    ExactSolid b = box(1, 6);
    if (!a.combine(b, ExactSolid::Operation::unite, labels)) throw RunError("not made");
    return a;
  };
}

Labels twelveLabels() {
  Labels labels;
  for (int i = 0; i < 12; ++i) labels.add({float(i), 0, 0, 1});
  return labels;
}

}  // namespace

TEST(Offload, TheChildsSolidIsTheOneMadeHere) {
  Labels inChild = twelveLabels();
  OffloadedSolid child(twoBoxes(getpid(), false), &inChild);
  const ExactSolid::Triangles fromChild = child.take(&inChild).triangles();
  Labels inParent = twelveLabels();
  OffloadedSolid parent(twoBoxes(getpid(), true), &inParent);
  const ExactSolid::Triangles fromHere = parent.take(&inParent).triangles();

  ASSERT_FALSE(fromChild.labels.empty());
  EXPECT_EQ(fromChild.corners, fromHere.corners);
  EXPECT_EQ(fromChild.labels, fromHere.labels);
  ASSERT_EQ(fromChild.positions.size(), fromHere.positions.size());
  for (size_t i = 0; i < fromHere.positions.size(); ++i) {
    EXPECT_EQ(fromChild.positions[i].x, fromHere.positions[i].x) << i;
    EXPECT_EQ(fromChild.positions[i].y, fromHere.positions[i].y) << i;
    EXPECT_EQ(fromChild.positions[i].z, fromHere.positions[i].z) << i;
  }
  // The three sides of each box that the other crosses were split, the rest not.
  EXPECT_EQ(inChild.split, inParent.split);
  size_t split = 0;
  for (char s : inChild.split) split += s != 0;
  EXPECT_EQ(split, 6u);
}

TEST(Offload, TheChildsFailureIsThrownHere) {
  Labels labels = twelveLabels();
  OffloadedSolid child(
      [](Labels*) -> ExactSolid { throw RunError("'plate.poly': the result would not be closed"); },
      &labels);
  try {
    child.take(&labels);
    FAIL() << "no failure";
  } catch (const RunError& e) {
    EXPECT_STREQ(e.what(), "'plate.poly': the result would not be closed");
  }
}

TEST(Offload, TheWorkIsDoneInAChildWhereThereIsASecondCore) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: the work is done here";
  Labels labels = twelveLabels();
  const pid_t here = getpid();
  const OffloadedSolid::Work made = twoBoxes(here, false);
  OffloadedSolid child(
      [here, made](Labels* l) {
        if (getpid() == here) throw RunError("made here");
        return made(l);
      },
      &labels);
  EXPECT_FALSE(child.take(&labels).empty());
}
