// Writes a deterministic model of OBJECTS polygons of VERTICES vertices to standard output.
// usage: make_model OBJECTS VERTICES [SEED]

#include <cstdio>
#include <cstdlib>

#include "ModelGenerator.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_model OBJECTS VERTICES [SEED]\n");
    return 2;
  }
  const long objects = std::atol(argv[1]);
  const long vertices = std::atol(argv[2]);
  ModelGenerator generator(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
  char x[32], y[32], z[32];
  for (long i = 0; i < objects; ++i) {
    std::printf("newObject\n%ld %ld 2 1\n", i % 7 - 3, i % 5);
    for (long j = 0; j < vertices; ++j) {
      generator.coordinate(x, sizeof x);
      generator.coordinate(y, sizeof y);
      generator.coordinate(z, sizeof z);
      std::printf("%s %s %s 1\n", x, y, z);
    }
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
