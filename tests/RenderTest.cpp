// Pictures checked by probing pixels of known scenes.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "Vandrel.h"

namespace {

class Render : public ::testing::Test {
 protected:
  QByteArray path(const char* name) { return dir.filePath(QString::fromLatin1(name)).toUtf8(); }
  // A red box: the square 0..1 x 0..1 at z = 0 extruded to z = 1.
  void redBox() {
    run({"polygonC", path("square"), "1", "0", "0", "0", "0", "1", "0", "1", "1", "0", "1"});
    run({"transform", path("square"), "ZT", "-1"});
    run({"extrude", path("square"), path("box"), "1"});
  }
  QTemporaryDir dir;
};

int lightness(QRgb p) { return qRed(p) + qGreen(p) + qBlue(p); }

}  // namespace

TEST_F(Render, TopOfARedBoxSeenFromAbove) {
  redBox();
  run({"render", path("box"), path("top.png"), "--view", "top", "--size", "400x300"});
  const QImage image(QString::fromUtf8(path("top.png")));
  ASSERT_EQ(image.size(), QSize(400, 300));
  const QRgb centre = image.pixel(200, 150);
  EXPECT_GT(qRed(centre), 150);
  EXPECT_LT(qGreen(centre), 30);
  EXPECT_LT(qBlue(centre), 30);
  for (const QPoint corner : {QPoint(2, 2), QPoint(397, 2), QPoint(2, 297), QPoint(397, 297)}) {
    EXPECT_EQ(image.pixel(corner), qRgb(255, 255, 255)) << corner.x() << " " << corner.y();
  }
  // The square fills the height but for the margins: 5 percent of 300 above and below.
  EXPECT_EQ(image.pixel(200, 10), qRgb(255, 255, 255));
  EXPECT_NE(image.pixel(200, 20), qRgb(255, 255, 255));
}

TEST_F(Render, InIsoTheTopIsLighterThanTheSides) {
  redBox();
  run({"render", path("box"), path("iso.png")});
  const QImage image(QString::fromUtf8(path("iso.png")));
  ASSERT_EQ(image.size(), QSize(800, 600));
  // A cube seen along its diagonal: the top above the centre, the sides below left and right.
  const int top = lightness(image.pixel(400, 170));
  const int left = lightness(image.pixel(300, 400));
  const int right = lightness(image.pixel(500, 400));
  EXPECT_GT(top, left);
  EXPECT_GT(top, right);
  EXPECT_NE(left, lightness(qRgb(255, 255, 255)));
}

TEST_F(Render, AnEmptyModelGivesTheBackground) {
  run({"assemble", path("empty")});
  run({"render", path("empty"), path("empty.png"), "--size", "20x10"});
  const QImage image(QString::fromUtf8(path("empty.png")));
  ASSERT_EQ(image.size(), QSize(20, 10));
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255));
  }
}
