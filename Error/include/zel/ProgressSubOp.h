// One share of a task: a name (a function's label or a tracker entry's name),
// the weight it is worth of the enclosing progress, and the number of
// increments that complete it.
#pragma once

#include <string>
#include <utility>

namespace zel {

struct ProgressSubOp {
  ProgressSubOp(std::string name, float weight, int totalIncrements)
      : name(std::move(name)), weight(weight), totalIncrements(totalIncrements) {}

  std::string name;
  float weight;
  int totalIncrements;
};

}  // namespace zel
