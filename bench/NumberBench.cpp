// Reading and writing one number, the operations every command repeats per value, against the
// Qt calls whose results they reproduce.

#include <benchmark/benchmark.h>

#include <QString>
#include <QTextStream>
#include <string>
#include <vector>

#include "Numbers.h"

namespace {

const std::vector<std::string> texts = {"123.456", "-0.000123", "1234567",    "5.5e-05",
                                        "1",       "-42.125",   "9876543.21", "0.5"};

std::vector<double> values() {
  std::vector<double> read;
  for (const std::string& text : texts) read.push_back(*readNumber(std::string_view(text)));
  return read;
}

void ReadNumberFast(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(readNumber(std::string_view(texts[i++ % 8])));
}

void ReadNumberQt(benchmark::State& state) {
  std::vector<QString> strings;
  for (const std::string& text : texts) strings.push_back(QString::fromStdString(text));
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(strings[i++ % 8].toFloat());
}

void FormatNumberFast(benchmark::State& state) {
  const std::vector<double> numbers = values();
  char buffer[maxNumberLength];
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(formatNumber(numbers[i++ % 8], buffer));
}

void FormatNumberQt(benchmark::State& state) {
  const std::vector<double> numbers = values();
  QString text;
  QTextStream out(&text);
  size_t i = 0;
  for (auto _ : state) {
    out << numbers[i++ % 8];
    if (text.size() > 4096) text.clear();
  }
}

}  // namespace

BENCHMARK(ReadNumberFast);
BENCHMARK(ReadNumberQt);
BENCHMARK(FormatNumberFast);
BENCHMARK(FormatNumberQt);
