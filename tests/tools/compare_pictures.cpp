// Compares two pictures of the same size pixel by pixel: prints the share of pixels whose
// colours lie within a distance (the largest difference of red, green and blue, 0..255) of
// each other, and exits 0 when it is at least the share asked for.
// usage: compare_pictures A.png B.png [DISTANCE [SHARE]]     (default: 24, 0.98)

#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: compare_pictures A.png B.png [DISTANCE [SHARE]]\n");
    return 2;
  }
  const QImage a = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
  const QImage b = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
  const int distance = argc > 3 ? std::atoi(argv[3]) : 24;
  const double share = argc > 4 ? std::atof(argv[4]) : 0.98;
  if (a.isNull() || b.isNull() || a.size() != b.size()) {
    std::fprintf(stderr, "compare_pictures: the pictures cannot be read or differ in size\n");
    return 2;
  }
  long close = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
      close += d <= distance;
    }
  }
  const double found = double(close) / (double(a.width()) * a.height());
  std::fprintf(stderr, "compare_pictures: %.2f%% of pixels within %d\n", 100 * found, distance);
  return found >= share ? 0 : 1;
}
