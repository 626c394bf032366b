// Reading and writing one number, the operations every command repeats per value.

#include <benchmark/benchmark.h>

#include <QString>
#include <QTextStream>
#include <string>
#include <vector>

#include "Numbers.h"

namespace {

const std::vector<std::string> texts = {"123.456", "-0.000123", "1234567",    "5.5e-05",
                                        "1",       "-42.125",   "9876543.21", "0.5"};
const std::vector<double> values = {123.456f, -0.000123f, 1234567.0f, 5.5e-05f,
                                    1.0,      -42.125f,   9876543.0f, 0.5f};

void ReadNumberFast(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(readNumber(std::string_view(texts[i++ % texts.size()])));
  }
}
BENCHMARK(ReadNumberFast);

void ReadNumberQt(benchmark::State& state) {
  std::vector<QString> qtexts;
  for (const std::string& t : texts) qtexts.push_back(QString::fromStdString(t));
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(qtexts[i++ % qtexts.size()].toFloat());
}
BENCHMARK(ReadNumberQt);

void FormatNumberFast(benchmark::State& state) {
  char buffer[32];
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formatNumber(values[i++ % values.size()], buffer));
  }
}
BENCHMARK(FormatNumberFast);

void FormatNumberQt(benchmark::State& state) {
  QString text;
  QTextStream out(&text);
  size_t i = 0;
  for (auto _ : state) {
    out << values[i++ % values.size()];
    if (text.size() > 4096) {
      out.flush();
      text.clear();
    }
  }
}
BENCHMARK(FormatNumberQt);

}  // namespace
