#include "DemoOptions.h"

#include <cstdlib>
#include <stdexcept>

namespace demo {

const char* const kUsage =
    "Usage: zel-demo [options]\n"
    "  --lang CODE         language of the texts (e.g. de_DE); else QEN_LANGUAGE,\n"
    "                      QEN_OKA_LOCALE or en_GB\n"
    "  --verbose           name the reporting class and method in messages\n"
    "  --soft-abort        an interrupt is polled by the work instead of thrown\n"
    "  --steps N           increments per work step (1 to 1000000, default 200)\n"
    "  --fast              no artificial delay\n"
    "  --interrupt-at P    request an interrupt once the progress reaches P (0 to 1)\n"
    "  --help              show this text\n";

namespace {

std::string valueOf(int argc, char** argv, int& i) {
  const std::string option = argv[i];
  if (i + 1 >= argc) throw std::invalid_argument(option + " needs a value");
  return argv[++i];
}

int parseSteps(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 1 || value > 1000000) {
    throw std::invalid_argument("--steps takes a whole number from 1 to 1000000, not '" +
                                text + "'");
  }
  return static_cast<int>(value);
}

float parseFraction(const std::string& text) {
  char* end = nullptr;
  const float value = std::strtof(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value >= 0.0f && value <= 1.0f)) {
    throw std::invalid_argument("--interrupt-at takes a number from 0 to 1, not '" +
                                text + "'");
  }
  return value;
}

}  // namespace

DemoOptions parseOptions(int argc, char** argv) {
  DemoOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--lang") {
      options.language = valueOf(argc, argv, i);
      if (options.language->empty()) throw std::invalid_argument("--lang needs a language code");
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--soft-abort") {
      options.softAbort = true;
    } else if (arg == "--steps") {
      options.steps = parseSteps(valueOf(argc, argv, i));
    } else if (arg == "--fast") {
      options.fast = true;
    } else if (arg == "--interrupt-at") {
      options.interruptAt = parseFraction(valueOf(argc, argv, i));
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else {
      throw std::invalid_argument("unknown option '" + arg + "'");
    }
  }
  return options;
}

}  // namespace demo
