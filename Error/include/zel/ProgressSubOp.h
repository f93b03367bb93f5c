#pragma once

#include <string>
#include <utility>

namespace zel {

/// One share of a task: a name (a function's label or a tracker entry's name),
/// the weight it is worth of the enclosing progress, and the number of
/// increments that complete it.
struct ProgressSubOp {
  /// A sub-operation `name` worth `weight`, complete after `totalIncrements`.
  ProgressSubOp(std::string name, float weight, int totalIncrements)
      : name(std::move(name)), weight(weight), totalIncrements(totalIncrements) {}

  /// Label of the function or name of the tracker entry.
  std::string name;
  /// Share of the enclosing progress.
  float weight;
  /// Increments that make the share complete.
  int totalIncrements;
};

}  // namespace zel
