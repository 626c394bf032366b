#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "ExactSolid.h"

// The files that the solids of one boolean operation come from, by the labels of their faces
// (each file's faces are labelled from its first label on), so that a refusal names the files
// whose solids meet, not the output that was asked for.
class SolidNames {
 public:
  // The next file: its faces are labelled from `firstLabel` on.
  void add(const QString& path, uint32_t firstLabel);

  // The files whose faces `a` and `b` hold, quoted: "'a.poly'", "'a.poly' and 'b.poly'",
  // "'a.poly', 'b.poly', 'c.poly' and 2 more".
  QString of(const ExactSolid& a, const ExactSolid& b) const;
  // Every file, named so.
  QString all() const;

 private:
  std::vector<QString> paths_;
  std::vector<uint32_t> firstLabels_;  // ascending, one per file
};
