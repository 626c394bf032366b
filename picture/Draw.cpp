// Pictures of meshes: projection and shading worked out once, then drawn with a depth buffer
// into an image, or painted back to front for a vector format.

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "Bounds.h"
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

  void project(const Vec3& q, double* x, double* y) const {
    *x = size.width() / 2.0 + (dot(q, right) - cu) * scale;
    *y = size.height() / 2.0 - (dot(q, up) - cv) * scale;
  }
};

QColor colourOf(const Mesh& mesh, size_t f) {
  const int32_t c = mesh.faceColour[f];
  if (c == Mesh::noColour) return defaultColour;
  const Colour& colour = mesh.colours[size_t(c)];
  return QColor::fromRgbF(colour.red, colour.green, colour.blue);
}

QColor shaded(const QColor& colour, double shade) {
  return QColor::fromRgbF(float(colour.redF() * shade), float(colour.greenF() * shade),
                          float(colour.blueF() * shade));
}

}  // namespace

Picture::Picture(const Mesh& mesh, const Triangles& triangles, const View& view, const QSize& size)
    : size_(size) {
  if (mesh.corners.empty()) return;
  const Camera camera(mesh, view, size);
  // One corner per vertex of the mesh, projected once.
  corners_.resize(mesh.positions.size());
  double nearest = -INFINITY, farthest = INFINITY;
  for (size_t v = 0; v < mesh.positions.size(); ++v) {
    const Vec3 q = toVec3(mesh.positions[v]);
    Corner& c = corners_[v];
    camera.project(q, &c.x, &c.y);
    c.depth = dot(q, camera.eye);
    nearest = std::max(nearest, c.depth);
    farthest = std::min(farthest, c.depth);
  }
  depthRange_ = nearest > farthest ? nearest - farthest : 1;
  // Each face's fill, lit on both sides, darker seen from its back.
  std::vector<QRgb> fill(mesh.faceCount());
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const uint32_t count = mesh.faceSize(f);
    const QColor colour = colourOf(mesh, f);
    const Vec3 normal = unit(newellNormal(mesh.positions, mesh.face(f), count));
    const double facing = dot(normal, camera.eye);
    if (count < 3 || normal.isZero() || std::fabs(facing) < 1e-6) {
      // Seen edge-on, or without area: a line, in the face's colour darkened.
      if (count > 0) {
        lines_.push_back({mesh.faceStart[f], count, colour.darker(150).rgb(), count > 2});
      }
      continue;
    }
    double shade = 0.35 + 0.65 * std::fabs(dot(normal, camera.light));
    if (facing < 0) shade *= 0.55;
    fill[f] = shaded(colour, shade).rgb();
  }
  // Lines name the mesh's corners; their corners become the projected vertices.
  std::vector<Corner> byCorner(mesh.corners.size());
  for (size_t i = 0; i < mesh.corners.size(); ++i) byCorner[i] = corners_[mesh.corners[i]];
  const auto vertices = static_cast<uint32_t>(corners_.size());
  corners_.insert(corners_.end(), byCorner.begin(), byCorner.end());
  for (Line& line : lines_) line.first += vertices;
  triangles_.reserve(triangles.count());
  for (size_t t = 0; t < triangles.count(); ++t) {
    const uint32_t* c = &triangles.corners[3 * t];
    triangles_.push_back({{c[0], c[1], c[2]}, fill[triangles.face[t]], triangles.face[t]});
  }
  // Front to back by each triangle's nearest corner, once for every band the raster draws.
  frontToBack_.resize(triangles_.size());
  std::iota(frontToBack_.begin(), frontToBack_.end(), 0u);
  auto nearestOf = [this](uint32_t t) {
    const uint32_t* c = triangles_[t].corner;
    return std::max({corners_[c[0]].depth, corners_[c[1]].depth, corners_[c[2]].depth});
  };
  std::sort(frontToBack_.begin(), frontToBack_.end(),
            [&](uint32_t a, uint32_t b) { return nearestOf(a) > nearestOf(b); });
}

void Picture::paint(QPainter& painter) const {
  painter.fillRect(QRect(QPoint(0, 0), size_), background);
  std::vector<uint32_t> order = visibleTriangles();
  auto depth = [this](uint32_t t) {
    const uint32_t* c = triangles_[t].corner;
    return corners_[c[0]].depth + corners_[c[1]].depth + corners_[c[2]].depth;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return depth(a) < depth(b); });
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (uint32_t t : order) {
    const Triangle& triangle = triangles_[t];
    QPointF points[3];
    for (int i = 0; i < 3; ++i) {
      const Corner& c = corners_[triangle.corner[i]];
      points[i] = QPointF(c.x, c.y);
    }
    // A hairline of the fill's own colour closes the seams between the triangles of a face.
    painter.setPen(QPen(QColor(triangle.fill), 0));
    painter.setBrush(QColor(triangle.fill));
    painter.drawPolygon(points, 3);
  }
  for (const Line& line : lines_) {
    QPolygonF points;
    for (uint32_t i = 0; i < line.count; ++i) {
      const Corner& c = corners_[line.first + i];
      points << QPointF(c.x, c.y);
    }
    painter.setPen(QPen(QColor(line.colour), 1.5));
    if (line.count == 1) {
      painter.drawPoint(points[0]);
    } else if (line.closed) {
      painter.drawPolygon(points);
    } else {
      painter.drawPolyline(points);
    }
  }
}
