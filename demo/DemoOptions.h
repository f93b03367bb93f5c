// Command-line options of zel-demo.
#pragma once

#include <optional>
#include <string>

namespace demo {

struct DemoOptions {
  std::optional<std::string> language;  // --lang CODE; else the environment
  bool verbose = false;                 // --verbose
  bool softAbort = false;               // --soft-abort
  int steps = 200;                      // --steps N: increments per work step
  bool fast = false;                    // --fast: no artificial delay
  std::optional<float> interruptAt;     // --interrupt-at P, 0 <= P <= 1
  bool help = false;                    // --help
};

// Parses the arguments; throws std::invalid_argument with a message fit for
// the user on an unknown option or a bad value.
DemoOptions parseOptions(int argc, char** argv);

extern const char* const kUsage;

}  // namespace demo
