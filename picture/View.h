#pragma once

#include <QSize>
#include <QString>

#include "Mesh.h"

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

// The picture of a mesh, seen from `view`, drawn with a QPainter on whatever it paints: each
// face filled with its colour (or one default), flat-shaded by a light over the viewer's
// shoulder with both sides lit, outlined in a darker line, back to front by depth; faces seen
// edge-on or without area as lines. The mesh's bounding box fills the picture but for a margin
// of 5 percent, its aspect kept. An empty mesh leaves the background alone.
class QPainter;
void drawMesh(QPainter& painter, const Mesh& mesh, const View& view, const QSize& size);
