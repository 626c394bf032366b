// Pictures of meshes: projection, shading and order worked out once, then drawn.

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "Bounds.h"
#include "Coverage.h"
#include "Normals.h"
#include "View.h"

namespace {

const QColor defaultColour(179, 191, 204);  // for faces without a colour of their own
const QColor background(Qt::white);

// The orthographic camera of a view: the eye's direction, the picture's right and up, the
// light, and the scale and centre that make the bounding box fill the picture.
struct Camera {
  Vec3 eye, right, up, light;
  double scale = 1, cu = 0, cv = 0;
  QSize size;

  Camera(const Mesh& mesh, const View& view, const QSize& pictureSize) : size(pictureSize) {
    const double az = view.azimuth * M_PI / 180, el = view.elevation * M_PI / 180;
    eye = {std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
    right = {-std::sin(az), std::cos(az), 0};
    up = cross(eye, right);
    light = unit(Vec3{eye.x + 0.4 * up.x + 0.3 * right.x, eye.y + 0.4 * up.y + 0.3 * right.y,
                      eye.z + 0.4 * up.z + 0.3 * right.z});
    // The bounding box, seen from the eye, fills the picture less 5 percent on each side.
    const Bounds bounds = boundsOf(mesh);
    const Position low = bounds.low, high = bounds.high;
    double u0 = INFINITY, u1 = -INFINITY, v0 = INFINITY, v1 = -INFINITY;
    for (int corner = 0; corner < 8; ++corner) {
      const Vec3 q{corner & 1 ? high.x : low.x, corner & 2 ? high.y : low.y,
                   corner & 4 ? high.z : low.z};
      u0 = std::min(u0, dot(q, right));
      u1 = std::max(u1, dot(q, right));
      v0 = std::min(v0, dot(q, up));
      v1 = std::max(v1, dot(q, up));
    }
    const double width = size.width() * 0.9, height = size.height() * 0.9;
    scale =
        std::min(u1 > u0 ? width / (u1 - u0) : INFINITY, v1 > v0 ? height / (v1 - v0) : INFINITY);
    if (!std::isfinite(scale)) scale = 1;
    cu = (u0 + u1) / 2;
    cv = (v0 + v1) / 2;
  }

  QPointF project(const Vec3& q) const {
    return {size.width() / 2.0 + (dot(q, right) - cu) * scale,
            size.height() / 2.0 - (dot(q, up) - cv) * scale};
  }
};

// The faces back to front: by the mean depth of each face toward the eye.
std::vector<uint32_t> backToFront(const Mesh& mesh, const Vec3& eye) {
  const size_t faces = mesh.faceCount();
  std::vector<double> depth(faces, 0);
  for (size_t f = 0; f < faces; ++f) {
    double sum = 0;
    for (uint32_t i = 0; i < mesh.faceSize(f); ++i)
      sum += dot(toVec3(mesh.positions[mesh.face(f)[i]]), eye);
    depth[f] = mesh.faceSize(f) > 0 ? sum / mesh.faceSize(f) : 0;
  }
  std::vector<uint32_t> order(faces);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return depth[a] < depth[b]; });
  return order;
}

QColor colourOf(const Mesh& mesh, size_t f) {
  const int32_t c = mesh.faceColour[f];
  if (c == Mesh::noColour) return defaultColour;
  const Colour& colour = mesh.colours[size_t(c)];
  return QColor::fromRgbF(colour.red, colour.green, colour.blue);
}

}  // namespace

Picture::Picture(const Mesh& mesh, const View& view, const QSize& size) : size_(size) {
  if (mesh.corners.empty()) return;
  const Camera camera(mesh, view, size);
  points_.reserve(mesh.corners.size());
  std::vector<Face> faces;
  faces.reserve(mesh.faceCount());
  for (uint32_t f : backToFront(mesh, camera.eye)) {
    const uint32_t count = mesh.faceSize(f);
    if (count == 0) continue;
    const auto first = static_cast<uint32_t>(points_.size());
    for (uint32_t i = 0; i < count; ++i) {
      points_.push_back(camera.project(toVec3(mesh.positions[mesh.face(f)[i]])));
    }
    const QColor colour = colourOf(mesh, f);
    const Vec3 n = newellNormal(mesh.positions, mesh.face(f), count);
    const double l = length(n);
    const Vec3 normal = l > 0 ? Vec3{n.x / l, n.y / l, n.z / l} : Vec3{0, 0, 0};
    // Seen edge-on, or without area: a line, in the face's colour darkened.
    if (count < 3 || l == 0 || std::fabs(dot(normal, camera.eye)) < 1e-6) {
      faces.push_back({first, count, colour, colour.darker(150), true});
      continue;
    }
    const double shade = 0.35 + 0.65 * std::fabs(dot(normal, camera.light));
    const QColor lit =
        QColor::fromRgbF(float(colour.redF() * shade), float(colour.greenF() * shade),
                         float(colour.blueF() * shade));
    faces.push_back({first, count, lit, lit.darker(160), false});
  }
  keepVisible(faces);
}

void Picture::keepVisible(const std::vector<Face>& backToFront) {
  // From the front back, leave out the faces that nearer ones wholly cover.
  Coverage coverage(size_);
  std::vector<bool> hidden(backToFront.size(), false);
  for (size_t k = backToFront.size(); k-- > 0;) {
    const Face& face = backToFront[k];
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (uint32_t i = face.first; i < face.first + face.count; ++i) {
      x0 = std::min(x0, points_[i].x());
      x1 = std::max(x1, points_[i].x());
      y0 = std::min(y0, points_[i].y());
      y1 = std::max(y1, points_[i].y());
    }
    // Two pixels more on each side, for the antialiasing and the outline.
    if (coverage.covers(x0 - 2, y0 - 2, x1 + 2, y1 + 2)) {
      hidden[k] = true;
    } else if (!face.line) {
      coverage.add(points_.data() + face.first, face.count);
    }
  }
  for (size_t k = 0; k < backToFront.size(); ++k) {
    if (!hidden[k]) faces_.push_back(backToFront[k]);
  }
}

void Picture::draw(QPainter& painter) const {
  painter.fillRect(QRect(QPoint(0, 0), size_), background);
  const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
  for (const Face& face : faces_) {
    const QPointF* points = points_.data() + face.first;
    const int count = static_cast<int>(face.count);
    if (face.line) {
      painter.setRenderHint(QPainter::Antialiasing, smooth);
      painter.setPen(QPen(face.edge, 1.5));
      painter.setBrush(Qt::NoBrush);
      if (count == 1) {
        painter.drawPoint(points[0]);
      } else {
        painter.drawPolyline(points, count);
      }
      continue;
    }
    // The fill without antialiasing, then its outline, a line of one pixel, with it where the
    // painter antialiases: the edges come out smooth, and a fill costs a fraction of the time
    // (for a model of large faces, a tenth).
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(face.fill);
    painter.drawPolygon(points, count, Qt::OddEvenFill);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setPen(QPen(face.edge, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(points, count, Qt::OddEvenFill);
  }
}
