// The libFuzzer entry point of one fuzzer; ZEL_FUZZ_CHECK names its check.
// A broken promise leaves as an exception, which libFuzzer reports as a crash.
#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  zel::fuzz::ZEL_FUZZ_CHECK(data, size);
  return 0;
}
