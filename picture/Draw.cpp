// Drawing a mesh with QPainter: one path for every kind of picture.

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "Coverage.h"
#include "Normals.h"
#include "View.h"

namespace {

struct Vec {
  double x, y, z;
};

double dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec cross(const Vec& a, const Vec& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec unit(const Vec& v) {
  const double l = std::sqrt(dot(v, v));
  return l > 0 ? Vec{v.x / l, v.y / l, v.z / l} : v;
}

const QColor defaultColour(179, 191, 204);  // for faces without a colour of their own
const QColor background(Qt::white);

}  // namespace

void drawMesh(QPainter& painter, const Mesh& mesh, const View& view, const QSize& size) {
  painter.fillRect(QRect(QPoint(0, 0), size), background);
  if (mesh.corners.empty()) return;
  const double az = view.azimuth * M_PI / 180, el = view.elevation * M_PI / 180;
  const Vec eye{std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
  const Vec right{-std::sin(az), std::cos(az), 0};
  const Vec up = cross(eye, right);
  const Vec light = unit(Vec{eye.x + 0.4 * up.x + 0.3 * right.x, eye.y + 0.4 * up.y + 0.3 * right.y,
                             eye.z + 0.4 * up.z + 0.3 * right.z});

  // The picture of the bounding box fills the picture, less 5 percent on each side.
  double u0 = INFINITY, u1 = -INFINITY, v0 = INFINITY, v1 = -INFINITY;
  for (uint32_t i : mesh.corners) {
    const Position& p = mesh.positions[i];
    const Vec q{p.x, p.y, p.z};
    u0 = std::min(u0, dot(q, right));
    u1 = std::max(u1, dot(q, right));
    v0 = std::min(v0, dot(q, up));
    v1 = std::max(v1, dot(q, up));
  }
  const double width = size.width() * 0.9, height = size.height() * 0.9;
  double scale =
      std::min(u1 > u0 ? width / (u1 - u0) : INFINITY, v1 > v0 ? height / (v1 - v0) : INFINITY);
  if (!std::isfinite(scale)) scale = 1;
  const double cu = (u0 + u1) / 2, cv = (v0 + v1) / 2;
  auto screen = [&](const Position& p) {
    const Vec q{p.x, p.y, p.z};
    return QPointF(size.width() / 2.0 + (dot(q, right) - cu) * scale,
                   size.height() / 2.0 - (dot(q, up) - cv) * scale);
  };

  // Back to front: by the mean depth of each face toward the eye.
  std::vector<double> depth(mesh.faceCount(), 0);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    double sum = 0;
    for (uint32_t i = 0; i < mesh.faceSize(f); ++i) {
      const Position& p = mesh.positions[mesh.face(f)[i]];
      sum += dot(Vec{p.x, p.y, p.z}, eye);
    }
    depth[f] = mesh.faceSize(f) > 0 ? sum / mesh.faceSize(f) : 0;
  }
  std::vector<uint32_t> order(mesh.faceCount());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return depth[a] < depth[b]; });

  // From the front back, the faces that nearer ones hide wholly: they need not be drawn.
  std::vector<bool> hidden(mesh.faceCount(), false);
  Coverage coverage(size);
  QPolygonF polygon;
  auto project = [&](uint32_t f) {
    polygon.resize(mesh.faceSize(f));
    for (uint32_t i = 0; i < mesh.faceSize(f); ++i) {
      polygon[i] = screen(mesh.positions[mesh.face(f)[i]]);
    }
  };
  for (auto f = order.rbegin(); f != order.rend(); ++f) {
    if (mesh.faceSize(*f) == 0) continue;
    project(*f);
    const QRectF box = polygon.boundingRect();
    // Two pixels more on each side, for the antialiasing and the outline.
    if (coverage.covers(box.left() - 2, box.top() - 2, box.right() + 2, box.bottom() + 2)) {
      hidden[*f] = true;
    } else {
      coverage.add(polygon);
    }
  }

  for (uint32_t f : order) {
    const uint32_t count = mesh.faceSize(f);
    if (count == 0 || hidden[f]) continue;
    project(f);
    const int32_t c = mesh.faceColour[f];
    QColor colour = c == Mesh::noColour ? defaultColour
                                        : QColor::fromRgbF(mesh.colours[size_t(c)].red,
                                                           mesh.colours[size_t(c)].green,
                                                           mesh.colours[size_t(c)].blue);
    const Normal n = newellNormal(mesh.positions, mesh.face(f), count);
    const double l = length(n);
    const Vec normal = l > 0 ? Vec{n.x / l, n.y / l, n.z / l} : Vec{0, 0, 0};
    // Seen edge-on, or without area: a line, in the face's colour darkened.
    const bool line = count < 3 || l == 0 || std::fabs(dot(normal, eye)) < 1e-6;
    if (line) {
      painter.setPen(QPen(colour.darker(150), 1.5));
      painter.setBrush(Qt::NoBrush);
      if (count == 1) {
        painter.drawPoint(polygon[0]);
      } else {
        painter.drawPolyline(polygon);
      }
      continue;
    }
    const double shade = 0.35 + 0.65 * std::fabs(dot(normal, light));
    const QColor lit =
        QColor::fromRgbF(float(colour.redF() * shade), float(colour.greenF() * shade),
                         float(colour.blueF() * shade));
    // The fill without antialiasing, then its outline, a line of one pixel, with it where the
    // painter antialiases: the edges come out smooth, and a fill costs a fraction of the time
    // (for a model of large faces, a tenth).
    const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(lit);
    painter.drawPolygon(polygon, Qt::OddEvenFill);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setPen(QPen(lit.darker(160), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(polygon, Qt::OddEvenFill);
  }
}
