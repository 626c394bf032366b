#include "Keywords.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "Failure.h"
#include "Help.h"
#include "Numbers.h"
#include "Quote.h"

namespace {

struct Keyword {
  const char* word;
  Transformation (*step)(float value);
};

const Keyword keywords[] = {
    {"XT", [](float v) { return translate_by(v, 0, 0); }},
    {"YT", [](float v) { return translate_by(0, v, 0); }},
    {"ZT", [](float v) { return translate_by(0, 0, v); }},
    {"XS", [](float v) { return scale_by(v, 1, 1); }},
    {"YS", [](float v) { return scale_by(1, v, 1); }},
    {"ZS", [](float v) { return scale_by(1, 1, v); }},
    {"US", [](float v) { return scale_by(v, v, v); }},
    {"XD", [](float v) { return x_rotate_by(v); }},
    {"YD", [](float v) { return y_rotate_by(v); }},
    {"ZD", [](float v) { return z_rotate_by(v); }},
    {"XR", [](float v) { return x_rotate_by(keywordDegrees(v)); }},
    {"YR", [](float v) { return y_rotate_by(keywordDegrees(v)); }},
    {"ZR", [](float v) { return z_rotate_by(keywordDegrees(v)); }},
};

bool isFinite(const Transformation& t) {
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      if (!std::isfinite(t.matrix(row, column))) return false;
    }
  }
  return true;
}

}  // namespace

double keywordDegrees(float radians) {
  return static_cast<float>(static_cast<double>(radians) * 57.29577951308402);
}

std::vector<const char*> keywordWords() {
  std::vector<const char*> words;
  for (const Keyword& keyword : keywords) words.push_back(keyword.word);
  return words;
}

Transformation parseKeywords(Words words, int first, Transformation start) {
  Transformation t = start;
  for (int i = first; i < words.count; i += 2) {
    const Keyword* keyword = nullptr;
    for (const Keyword& candidate : keywords) {
      if (std::strcmp(words[i], candidate.word) == 0) keyword = &candidate;
    }
    if (keyword == nullptr) {
      const std::vector<const char*> known = keywordWords();
      const QString nearest =
          nearestWord(QString::fromLocal8Bit(words[i]), known.data(), known.data() + known.size());
      throw UsageError(
          QStringLiteral("unknown keyword ") + quotedField(words[i]) +
          (nearest.isEmpty() ? QString() : QStringLiteral(" (did you mean '%1'?)").arg(nearest)));
    }
    if (i + 1 == words.count) {
      throw UsageError(QStringLiteral("keyword %1 needs a value").arg(keyword->word));
    }
    t = t * keyword->step(readArgument(words[i + 1]));
    if (!isFinite(t)) {
      throw UsageError(quotedField(words[i + 1]) + QStringLiteral(" is out of range for ") +
                       QLatin1String(keyword->word));
    }
  }
  return t;
}
