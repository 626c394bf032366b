#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

#include "Mesh.h"

class QPainter;
struct Band;  // Raster.cpp

// Where a picture looks from: an orthographic view with the eye at an azimuth (degrees about
// z from +x) and an elevation (degrees above the x-y plane). Seen from there, right is the
// horizontal direction to the viewer's right and up is z tilted toward the eye.
struct View {
  double azimuth = -45;
  double elevation = 35.264;
};

// iso (the default: from +x, -y, +z), top (down -z, x right, y up), front (along +y, x right,
// z up), side (along -x, y right, z up), or AZIMUTH,ELEVATION; false for anything else.
bool viewOf(const QString& text, View* view);
// iso, top, front and side.
QStringList viewNames();

// The picture of a mesh seen from a view, worked out once: its faces' triangles, each filled
// with its face's colour (or one default), flat-shaded by a light over the viewer's shoulder,
// darker where a face is seen from its back (the inside of an open part), and the faces'
// outlines in a darker line; points, lines and faces without area as lines. The mesh's bounding
// box fills the picture but for a margin of 5 percent, its aspect kept. An empty mesh leaves the
// background alone. The mesh's faces must face outward (Solid.h). In the raster, a face's
// outline is where the nearest face changes.
class Picture {
 public:
  Picture(const Mesh& mesh, const Triangles& triangles, const View& view, const QSize& size);

  // Draws the rows top to top + image.height() - 1 of the picture into `image` (of the
  // picture's width) with a depth buffer, so that every pixel shows the nearest surface;
  // antialiased by drawing at twice the size.
  void raster(QImage& image, int top) const;
  // Paints the picture for a vector format: the triangles that show (as the depth buffer finds
  // them) from back to front, without outlines (a triangle's outline would show the
  // triangulation).
  void paint(QPainter& painter) const;

 public:
  // What the picture is made of, projected: the drawing code's own vocabulary.
  struct Corner {
    double x, y, depth;  // depth grows toward the eye
  };
  struct Triangle {
    uint32_t corner[3];  // into corners_
    QRgb fill;
    uint32_t face;
  };
  struct Line {
    uint32_t first, count;  // corners_ of a polyline, closed when `closed`
    QRgb colour;
    bool closed;
  };

 private:
  // Fills the band's pixels with the nearest triangles, drawn at `scale` times the size.
  void fill(Band& band, int scale) const;
  // The triangles that own a pixel of the picture, from back to front.
  std::vector<uint32_t> visibleTriangles() const;

  QSize size_;
  double depthRange_ = 1;
  std::vector<Corner> corners_;
  std::vector<Triangle> triangles_;
  std::vector<uint32_t> frontToBack_;  // of triangles_
  std::vector<Line> lines_;            // faces drawn as lines: points, lines, faces without area
};
