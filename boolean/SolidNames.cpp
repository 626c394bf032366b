#include "SolidNames.h"

#include <algorithm>

#include "Quote.h"

namespace {

// The paths quoted, the first three and how many more where there are more than four.
QString listed(const std::vector<QString>& paths) {
  std::vector<QString> names;
  for (const QString& path : paths) names.push_back(quoted(path));
  constexpr size_t shown = 3;
  if (names.size() > shown + 1) {
    const size_t more = names.size() - shown;
    names.resize(shown);
    names.push_back(QStringLiteral("%1 more").arg(more));
  }
  QString text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? QStringLiteral(" and ") : QStringLiteral(", ");
    text += names[i];
  }
  return text;
}

}  // namespace

void SolidNames::add(const QString& path, uint32_t firstLabel) {
  paths_.push_back(path);
  firstLabels_.push_back(firstLabel);
}

QString SolidNames::of(const ExactSolid& a, const ExactSolid& b) const {
  std::vector<char> named(paths_.size(), 0);
  for (const ExactSolid* solid : {&a, &b}) {
    for (uint32_t label : solid->faceLabels()) {
      const auto after = std::upper_bound(firstLabels_.begin(), firstLabels_.end(), label);
      if (after != firstLabels_.begin()) named[size_t(after - firstLabels_.begin()) - 1] = 1;
    }
  }
  std::vector<QString> names;
  for (size_t i = 0; i < paths_.size(); ++i) {
    if (named[i]) names.push_back(paths_[i]);
  }
  return listed(names);
}

QString SolidNames::all() const { return listed(paths_); }
