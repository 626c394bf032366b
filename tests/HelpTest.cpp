// The hints, the synopsis that the manual and the completion read, and the files that a model
// file may name beside itself.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>

#include "Beside.h"
#include "Commands.h"
#include "Help.h"
#include "Synopsis.h"

namespace {

QString nearest(const char* typed) {
  static const char* const words[] = {"help", "extrude", "transform", "XT", "XD", "ZT"};
  return nearestWord(QString::fromLatin1(typed), std::begin(words), std::end(words));
}

TEST(Hints, NearestWordWithinTwoEditsCaseAsideAndSwaps) {
  EXPECT_EQ(nearest("extrud"), "extrude");
  EXPECT_EQ(nearest("Transform"), "transform");
  EXPECT_EQ(nearest("hlep"), "help");  // neighbours swapped: one edit
  EXPECT_EQ(nearest("xd"), "XD");      // case aside before XT, one letter away
  EXPECT_EQ(nearest("extrdue"), "extrude");
  EXPECT_EQ(nearest("Q"), "");  // two edits from XT, more than the word has
  EXPECT_EQ(nearest("tansfrm"), "transform");
  EXPECT_EQ(nearest("rotate"), "");
}

Synopsis synopsis(const char* word) { return synopsisOf(*commandNamed(QString::fromLatin1(word))); }

TEST(Synopsis, KindsOfArgumentsAndOptionsFromTheTable) {
  const Synopsis transform = synopsis("transform");
  EXPECT_EQ(transform.fixed, QStringList{"model"});
  EXPECT_EQ(transform.repeated, (QStringList{"keyword", ""}));
  const Synopsis unite = synopsis("union");
  EXPECT_TRUE(unite.fixed.isEmpty());
  EXPECT_EQ(unite.repeated, QStringList{"model"});
  const Synopsis render = synopsis("render");
  EXPECT_EQ(render.options, (QStringList{"--view", "--size", "--weld"}));
  EXPECT_EQ(render.optionValues, (QStringList{"VIEW", "WIDTHxHEIGHT", "DISTANCE"}));
  EXPECT_EQ(render.fixed, (QStringList{"model", "picture"}));
  const Synopsis circle = synopsis("circle");  // an optional group that does not repeat
  EXPECT_EQ(circle.fixed, (QStringList{"model", "", "", "", "", ""}));
  EXPECT_TRUE(circle.repeated.isEmpty());
  const Synopsis clip = synopsis("clip");
  EXPECT_EQ(clip.options, QStringList{"--cap"});
  EXPECT_EQ(clip.optionValues, QStringList{""});
  EXPECT_EQ(synopsis("import").fixed, (QStringList{"exchange", "model"}));
  EXPECT_EQ(synopsis("view").fixed, (QStringList{"model", "page"}));
}

TEST(Beside, OnlyRegularFilesInTheFolderOrBelow) {
  QTemporaryDir top;
  ASSERT_TRUE(top.isValid());
  const std::string root = top.path().toStdString();
  ASSERT_EQ(::mkdir((root + "/model").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((root + "/model/sub").c_str(), 0755), 0);
  std::ofstream(root + "/secret.bin") << "secret";
  std::ofstream(root + "/model/a.bin") << "a";
  std::ofstream(root + "/model/sub/b.bin") << "b";
  ASSERT_EQ(::symlink("a.bin", (root + "/model/near").c_str()), 0);
  ASSERT_EQ(::symlink("../secret.bin", (root + "/model/far").c_str()), 0);
  ASSERT_EQ(::mkfifo((root + "/model/pipe").c_str(), 0644), 0);
  const std::string folder = root + "/model";
  auto check = [&](const std::string& name) {
    std::string path, why;
    return besideFile(folder, name, &path, &why) ? "read " + path.substr(root.size()) : why;
  };
  EXPECT_EQ(check("a.bin"), "read /model/a.bin");
  EXPECT_EQ(check("sub/b.bin"), "read /model/sub/b.bin");
  EXPECT_EQ(check("near"), "read /model/a.bin");
  EXPECT_EQ(check("sub/../a.bin"), "outside the file's folder");
  EXPECT_EQ(check("../secret.bin"), "outside the file's folder");
  EXPECT_EQ(check(root + "/secret.bin"), "outside the file's folder");
  EXPECT_EQ(check("file:a.bin"), "outside the file's folder");
  EXPECT_EQ(check("far"), "a link that leads outside the file's folder");
  EXPECT_EQ(check("pipe"), "not a regular file");
  EXPECT_EQ(check("sub"), "not a regular file");
  EXPECT_EQ(check("none.bin"), "not found");
}

}  // namespace
