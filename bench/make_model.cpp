// Writes a deterministic model of OBJECTS polygons of VERTICES vertices to standard output;
// with `colours`, each object has a colour of its own, drawn at random.
// usage: make_model OBJECTS VERTICES [SEED [colours]]

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ModelGenerator.h"

int main(int argc, char** argv) {
  const bool colours = argc > 4 && std::strcmp(argv[4], "colours") == 0;
  if (argc < 3 || argc > 5 || (argc == 5 && !colours)) {
    std::fprintf(stderr, "usage: make_model OBJECTS VERTICES [SEED [colours]]\n");
    return 2;
  }
  const long objects = std::atol(argv[1]);
  const long vertices = std::atol(argv[2]);
  ModelGenerator generator(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
  char x[32], y[32], z[32];
  for (long i = 0; i < objects; ++i) {
    if (colours) {
      const unsigned rgb = generator.below(1u << 24);
      std::printf("newObject\n%.6g %.6g %.6g 1\n", (rgb >> 16) / 255.0, (rgb >> 8 & 255) / 255.0,
                  (rgb & 255) / 255.0);
    } else {
      std::printf("newObject\n%ld %ld 2 1\n", i % 7 - 3, i % 5);
    }
    for (long j = 0; j < vertices; ++j) {
      generator.coordinate(x, sizeof x);
      generator.coordinate(y, sizeof y);
      generator.coordinate(z, sizeof z);
      std::printf("%s %s %s 1\n", x, y, z);
    }
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
