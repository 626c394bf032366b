#include "OutwardTriangles.h"

#include "Parallel.h"
#include "Shells.h"
#include "Triangulate.h"

// The shells are found, and the faces triangulated, on two threads.
Triangles outwardTriangles(const Mesh& mesh) {
  const size_t faces = mesh.faceCount();
  const size_t split = faces * 2 / 5;  // the thread that finds the shells takes fewer faces
  Shells shells;
  Triangles first, second;
  inParallel(
      [&]() {
        shells = findShells(mesh);
        first = triangulate(mesh, 0, split);
      },
      [&]() { second = triangulate(mesh, split, faces); });
  first.corners.insert(first.corners.end(), second.corners.begin(), second.corners.end());
  first.face.insert(first.face.end(), second.face.begin(), second.face.end());
  reverse(first, shells.reversed);
  return first;
}
