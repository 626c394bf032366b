#include "Unite.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>

#include "Failure.h"
#include "Offload.h"

namespace {

// The operation; where the library cannot make the result one closed surface, the answer that
// solids touching only along edges or at points have, or a refusal naming `files`.
void combineOrTouch(ExactSolid& a, ExactSolid& b, ExactSolid::Operation operation, Labels* labels,
                    const QString& files) {
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
    throw RunError(files + QStringLiteral(": the result would not be a closed solid "
                                          "(the solids meet only along an edge or at a "
                                          "point)"));
  }
}

}  // namespace

void combineOrFail(ExactSolid& a, ExactSolid& b, ExactSolid::Operation operation, Labels* labels,
                   const SolidNames& names) {
  // Named before the operation, which leaves the solids in no useful state where it fails.
  const QString files = names.of(a, b);
  try {
    combineOrTouch(a, b, operation, labels, files);
  } catch (const ExactSolid::Unhandled&) {
    throw RunError(files + QStringLiteral(": the solids meet in a way that the boolean "
                                          "library does not handle (one of its own checks "
                                          "failed)"));
  }
}

namespace {

// Whether no two of the solids' bounding boxes meet, not even at a face or a corner: boxes in
// order of their least x, each compared with those that begin before it ends. Boxes that share
// a span of x by the thousand (a column of solids) would take a comparison for each pair: past
// a budget linear in their number the answer is no, and the exact test decides.
bool boxesApart(const std::vector<ExactSolid>& solids) {
  std::vector<ExactSolid::Box> boxes;
  for (const ExactSolid& solid : solids) {
    if (const auto box = solid.box()) boxes.push_back(*box);
  }
  std::sort(boxes.begin(), boxes.end(),
            [](const ExactSolid::Box& a, const ExactSolid::Box& b) { return a.low.x < b.low.x; });
  size_t budget = 64 * boxes.size() + 1000000;
  for (size_t i = 0; i < boxes.size(); ++i) {
    for (size_t j = i + 1; j < boxes.size() && boxes[j].low.x <= boxes[i].high.x; ++j) {
      if (--budget == 0) return false;
      if (boxes[j].low.y <= boxes[i].high.y && boxes[i].low.y <= boxes[j].high.y &&
          boxes[j].low.z <= boxes[i].high.z && boxes[i].low.z <= boxes[j].high.z) {
        return false;
      }
    }
  }
  return true;
}

// The union of solids, pairwise, as a balanced tree: neighbours in the list first.
ExactSolid unitePairwise(std::vector<ExactSolid> solids, Labels* labels, const SolidNames& names) {
  if (solids.empty()) return ExactSolid();
  while (solids.size() > 1) {
    std::vector<ExactSolid> next;
    for (size_t i = 0; i + 1 < solids.size(); i += 2) {
      ExactSolid& a = solids[i];
      ExactSolid& b = solids[i + 1];
      if (a.mayMeet(b)) {
        combineOrFail(a, b, ExactSolid::Operation::unite, labels, names);
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

// From how many solids a union is worth a second process.
constexpr size_t offloadFrom = 16;

// The union of solids that may cross: for many, halves in two processes at once.
ExactSolid uniteCrossing(std::vector<ExactSolid> solids, Labels* labels, const SolidNames& names) {
  // Many solids: the union of the first half in a child process, on the other core, that of the
  // second half here, at the same time; a failure of the first half comes first, as it would
  // one after the other.
  if (solids.size() >= offloadFrom) {
    const auto middle = solids.begin() + static_cast<std::ptrdiff_t>(solids.size() / 2);
    std::vector<ExactSolid> first(std::make_move_iterator(solids.begin()),
                                  std::make_move_iterator(middle));
    std::vector<ExactSolid> second(std::make_move_iterator(middle),
                                   std::make_move_iterator(solids.end()));
    OffloadedSolid offloaded(
        [&first, &names](Labels* l) { return unitePairwise(std::move(first), l, names); }, labels);
    std::optional<ExactSolid> rest;
    std::exception_ptr failure;
    try {
      rest = unitePairwise(std::move(second), labels, names);
    } catch (const RunError&) {
      failure = std::current_exception();
    }
    ExactSolid all = offloaded.take(labels);
    if (failure) std::rethrow_exception(failure);
    if (all.mayMeet(*rest)) {
      combineOrFail(all, *rest, ExactSolid::Operation::unite, labels, names);
    } else {
      all.add(std::move(*rest));
    }
    return all;
  }
  return unitePairwise(std::move(solids), labels, names);
}

}  // namespace

ExactSolid uniteAll(std::vector<ExactSolid> solids, Labels* labels, const SolidNames& names) {
  if (solids.empty()) return ExactSolid();
  // Solids whose boxes lie apart, or that neither cross nor hold one another, are their union
  // as they are.
  if (solids.size() > 2 && boxesApart(solids)) {
    ExactSolid all;
    for (ExactSolid& solid : solids) all.add(std::move(solid));
    return all;
  }
  if (solids.size() > 2) {
    ExactSolid all;
    for (const ExactSolid& solid : solids) all.add(solid.copy());
    if (!all.crossesItself() && all.boundsVolume()) return all;
  }
  return uniteCrossing(std::move(solids), labels, names);
}

ExactSolid solidOfParts(std::vector<ExactSolid> parts, Labels* labels, const SolidNames& names) {
  if (parts.size() < 2 || boxesApart(parts)) return uniteAll(std::move(parts), labels, names);
  ExactSolid all;
  for (const ExactSolid& part : parts) all.add(part.copy());
  if (all.crossesItself()) return uniteCrossing(std::move(parts), labels, names);
  if (!all.boundsVolume()) all.turnHollowsInward();
  return all;
}
