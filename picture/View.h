#pragma once

#include <QColor>
#include <QPointF>
#include <QSize>
#include <QString>
#include <vector>

#include "Mesh.h"

class QPainter;

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

// The picture of a mesh seen from a view, worked out once and drawn with a QPainter on whatever
// it paints (one drawing for PNG and SVG): each face filled with its colour (or one default),
// flat-shaded by a light over the viewer's shoulder with both sides lit, outlined in a darker
// line, back to front by depth; faces seen edge-on or without area as lines. The mesh's
// bounding box fills the picture but for a margin of 5 percent, its aspect kept. Faces that
// nearer ones wholly cover are left out. An empty mesh leaves the background alone.
class Picture {
 public:
  Picture(const Mesh& mesh, const View& view, const QSize& size);
  // Draws the whole picture; a painter moved by translate() draws a part of it.
  void draw(QPainter& painter) const;

 private:
  struct Face {
    uint32_t first, count;  // its points in points_
    QColor fill;            // shaded; unused for a line
    QColor edge;
    bool line;
  };
  // Keeps, in faces_, the faces of `backToFront` that nearer ones do not wholly cover.
  void keepVisible(const std::vector<Face>& backToFront);

  QSize size_;
  std::vector<QPointF> points_;
  std::vector<Face> faces_;  // back to front
};
