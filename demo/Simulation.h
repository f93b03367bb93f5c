// The simulated engineering computation: load a mesh, assemble, solve and
// write the results, reporting progress and a few problems on the way.
#pragma once

#include <zel/ProgressAbortMode.h>
#include <zel/ProgressBudget.h>
#include <zel/ProgressPredictor.h>

namespace demo {

struct SimulationSettings {
  int steps = 200;    // increments per work step
  bool fast = false;  // no artificial delay
};

// Runs the computation. Returns false when it stopped early because an abort
// was requested in the soft abort mode; throws zel::Interrupt when one was
// requested in the normal mode.
bool runSimulation(const SimulationSettings& settings, zel::ProgressBudget& budget,
                   zel::ProgressPredictor& predictor, zel::ProgressAbortMode& abortMode);

}  // namespace demo
