// Pictures checked by probing pixels of known scenes.

#include <gtest/gtest.h>

#include <QFile>
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
  QFile empty(QString::fromUtf8(path("empty.poly")));
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  run({"render", path("empty"), path("empty.png"), "--size", "20x10"});
  const QImage image(QString::fromUtf8(path("empty.png")));
  ASSERT_EQ(image.size(), QSize(20, 10));
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255));
  }
}

TEST_F(Render, EachPixelShowsTheNearestSurface) {
  // A red plate with a square hole (one keyhole polygon), and a blue bar through the hole that
  // stands above and below the plate: from above, the bar's top, the background through the
  // hole beside it, and the plate around the hole.
  run({"polygonC", path("keyhole"),
       "1",        "0",
       "0",        "0",
       "0",        "4",
       "0",        "4",
       "4",        "0",
       "4",        "0",
       "0",        "1",
       "1",        "1",
       "3",        "3",
       "3",        "3",
       "1",        "1",
       "1"});
  run({"extrude", path("keyhole"), path("plate"), "1"});
  run({"polygonC", path("square"), "0", "0", "1", "1.5", "1.5", "2.5", "1.5", "2.5", "2.5", "1.5",
       "2.5"});
  run({"transform", path("square"), "ZT", "-2"});
  run({"extrude", path("square"), path("bar"), "5"});
  run({"assemble", path("plate"), path("bar"), path("both")});
  run({"render", path("both"), path("top.png"), "--view", "top", "--size", "400x400"});
  const QImage top(QString::fromUtf8(path("top.png")));
  const QRgb centre = top.pixel(200, 200);  // the bar's top
  EXPECT_GT(qBlue(centre), 150);
  EXPECT_LT(qRed(centre), 60);
  EXPECT_EQ(top.pixel(200, 140), qRgb(255, 255, 255));  // in the hole, beside the bar
  const QRgb rim = top.pixel(200, 40);                  // the plate
  EXPECT_GT(qRed(rim), 150);
  EXPECT_LT(qBlue(rim), 60);
}

TEST_F(Render, TheInsideOfAnOpenPartIsDarker) {
  // A square seen from above is as light as a box's top; turned upside down, it is seen from
  // its back, as the inside of an open part is, and darker.
  run({"polygon", path("square"), "0", "0", "1", "0", "1", "1", "0", "1"});
  run({"extrude", path("square"), path("box"), "1"});
  run({"polygon", path("floor"), "2", "0", "3", "0", "3", "1", "2", "1"});
  run({"transform", path("floor"), "ZT", "1"});
  run({"render", path("floor"), path("floor.png"), "--view", "top", "--size", "100x100"});
  run({"render", path("box"), path("box.png"), "--view", "top", "--size", "100x100"});
  const QImage floor(QString::fromUtf8(path("floor.png")));
  const QImage box(QString::fromUtf8(path("box.png")));
  run({"create", path("under"), path("floor"), "XD", "180", "ZT", "4"});
  run({"render", path("under"), path("under.png"), "--view", "top", "--size", "100x100"});
  const QImage under(QString::fromUtf8(path("under.png")));
  EXPECT_EQ(lightness(floor.pixel(50, 50)), lightness(box.pixel(50, 50)));
  EXPECT_LT(lightness(under.pixel(50, 50)), lightness(floor.pixel(50, 50)));
}
