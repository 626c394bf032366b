#include "Unite.h"

#include "Failure.h"
#include "Quote.h"

void combineOrFail(ExactSolid& a, ExactSolid& b, ExactSolid::Operation operation, Labels* labels,
                   const QString& name) {
  if (a.combine(b, operation, labels)) return;
  // The library makes no surface that meets itself along an edge or at a point. Where that is
  // because the solids only touch there, their insides apart, the result is known without it.
  ExactSolid common = a.copy();
  ExactSolid other = b.copy();
  Labels ignored = *labels;
  if (common.combine(other, ExactSolid::Operation::intersect, &ignored) && common.empty()) {
    if (operation == ExactSolid::Operation::unite) a.add(std::move(b));
    if (operation == ExactSolid::Operation::intersect) a = ExactSolid();
    return;
  }
  {
    throw RunError(quoted(name) + QStringLiteral(": the result would not be a closed solid "
                                                 "(the solids meet only along an edge or at a "
                                                 "point)"));
  }
}

ExactSolid uniteAll(std::vector<ExactSolid> solids, Labels* labels, const QString& name) {
  if (solids.empty()) return ExactSolid();
  // Solids that neither cross nor hold one another are their union as they are.
  if (solids.size() > 2) {
    ExactSolid all;
    for (const ExactSolid& solid : solids) all.add(solid.copy());
    if (!all.crossesItself() && all.boundsVolume()) return all;
  }
  while (solids.size() > 1) {
    std::vector<ExactSolid> next;
    for (size_t i = 0; i + 1 < solids.size(); i += 2) {
      ExactSolid& a = solids[i];
      ExactSolid& b = solids[i + 1];
      if (a.mayMeet(b)) {
        combineOrFail(a, b, ExactSolid::Operation::unite, labels, name);
      } else {
        a.add(std::move(b));
      }
      next.push_back(std::move(a));
    }
    if (solids.size() % 2 == 1) next.push_back(std::move(solids.back()));
    solids.swap(next);
  }
  return std::move(solids.front());
}
