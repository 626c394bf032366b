// Triangulation time per vertex: one star of 200,000 vertices (half of them reflex) against
// 10,000 stars of 20 vertices, and against 10,000 polygons of 20 random vertices in space like
// those of bench/make_model.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "../bench/ModelGenerator.h"
#include "Triangulate.h"

namespace {

std::vector<Position> star(size_t vertices, double inner, double outer) {
  std::vector<Position> p;
  for (size_t i = 0; i < vertices; ++i) {
    const double angle = 2 * M_PI * double(i) / double(vertices);
    const double r = i % 2 == 0 ? outer : inner;
    p.push_back({float(r * std::cos(angle)), float(r * std::sin(angle)), 0});
  }
  return p;
}

std::vector<Position> randomPolygons(size_t vertices) {
  ModelGenerator generator(1);
  std::vector<Position> p;
  char text[3][32];
  for (size_t i = 0; i < vertices; ++i) {
    for (auto& t : text) generator.coordinate(t, sizeof t);
    p.push_back({std::stof(text[0]), std::stof(text[1]), std::stof(text[2])});
  }
  return p;
}

void run(benchmark::State& state, size_t polygons, size_t vertices, bool random = false) {
  const std::vector<Position> positions =
      random ? randomPolygons(polygons * vertices) : star(vertices, 0.5, 1);
  std::vector<uint32_t> order(positions.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  Triangulator triangulator;
  std::vector<uint32_t> out;
  for (auto _ : state) {
    for (size_t p = 0; p < polygons; ++p) {
      out.clear();
      const uint32_t* first = random ? order.data() + p * vertices : order.data();
      triangulator.triangulate(positions, first, vertices, &out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.counters["ns per vertex"] = benchmark::Counter(
      double(polygons * vertices),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void OneStarOf200000(benchmark::State& state) { run(state, 1, 200000); }
void StarsOf20(benchmark::State& state) { run(state, 10000, 20); }
void RandomPolygonsOf20(benchmark::State& state) { run(state, 10000, 20, true); }

}  // namespace

BENCHMARK(OneStarOf200000)->Unit(benchmark::kMillisecond);
BENCHMARK(StarsOf20)->Unit(benchmark::kMillisecond);
BENCHMARK(RandomPolygonsOf20)->Unit(benchmark::kMillisecond);
