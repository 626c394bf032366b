#pragma once

// A deterministic generator of model text, shared by the benchmark's model maker and the tests
// that compare number reading and writing with Qt's over every value of such a model.
//
// Coordinates mix magnitudes so that both notations of the writer occur: about 1e-4, 1 to 600
// with three decimals, and 1e5 to 1e7. The random numbers come from a fixed 64-bit generator,
// so a seed gives the same text everywhere.

#include <cstdint>
#include <cstdio>

class ModelGenerator {
 public:
  explicit ModelGenerator(uint64_t seed) : state_(seed) {}

  // Writes one coordinate as text into out (at least 32 bytes).
  void coordinate(char* out, size_t size) {
    const double sign = next() & 1 ? -1 : 1;
    switch (next() % 3) {
      case 0:
        std::snprintf(out, size, "%.4g", sign * (0.5 + uniform()) * 1e-4);
        break;
      case 1:
        std::snprintf(out, size, "%.3f", sign * (1 + 599 * uniform()));
        break;
      default:
        std::snprintf(out, size, "%.2f", sign * (1e5 + (1e7 - 1e5) * uniform()));
        break;
    }
  }

  // A whole number from 0 to n - 1.
  unsigned below(unsigned n) { return unsigned(next() % n); }

 private:
  uint64_t next() {  // splitmix64
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  double uniform() { return double(next() >> 11) / 9007199254740992.0; }  // [0, 1)

  uint64_t state_;
};
