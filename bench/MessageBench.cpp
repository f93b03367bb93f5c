// Message texts: a text with two numbered values, filled with an int and a
// float, by SystemMsg and by the formatting libraries an application might use
// instead. Every case writes the same bytes (checked before the timing starts):
// floats in general format with 6 significant digits, as a stream writes them.
// fmt is timed twice: with "{1:g}" for floats of any size, and with its plain
// "{1}" (its fastest way) for floats whose shortest form is the same text.
#include <benchmark/benchmark.h>
#include <zel/SystemMsg.h>

#include <array>
#include <string>

#ifdef ZEL_BENCH_HAVE_FMT
#include <fmt/format.h>
#endif
#ifdef ZEL_BENCH_HAVE_BOOST
#include <boost/format.hpp>
#endif

namespace {

struct Values {
  int count;
  float value;
};

// Small and large, whole and fractional, positive and negative.
constexpr std::array<Values, 8> kValues = {{{3, 0.5f},
                                            {17, -2.25f},
                                            {256, 1234567.0f},
                                            {-4096, 0.001f},
                                            {65537, 3.14159265f},
                                            {1000000, -7.5e-7f},
                                            {42, 100.0f},
                                            {-1, 2.0f / 3.0f}}};

std::string withSystemMsg(const Values& v) {
  return zel::SystemMsg("Value %1 of %2 is out of range")
      .arg(v.count)
      .arg(v.value);
}

// Floats that "{}" (shortest round trip) and "%g" write alike.
constexpr std::array<Values, 8> kShortValues = {{{3, 0.5f},
                                                 {17, -2.25f},
                                                 {256, 0.5f},
                                                 {-4096, 0.001f},
                                                 {65537, 1.5f},
                                                 {1000000, -0.75f},
                                                 {42, 100.0f},
                                                 {-1, 0.5f}}};

template <typename Format, std::size_t N = kValues.size()>
void formatAll(benchmark::State& state, Format format,
               const std::array<Values, N>& values = kValues) {
  for (const Values& v : values) {
    if (format(v) != withSystemMsg(v)) {
      state.SkipWithError(("different text: " + format(v)).c_str());
      return;
    }
  }
  std::size_t i = 0;
  for (auto _ : state) {
    std::string text = format(values[i++ % values.size()]);
    benchmark::DoNotOptimize(text.data());
  }
}

void Message_SystemMsg(benchmark::State& state) {
  formatAll(state, withSystemMsg);
}
BENCHMARK(Message_SystemMsg);

#ifdef ZEL_BENCH_HAVE_FMT
void Message_fmt(benchmark::State& state) {
  formatAll(state, [](const Values& v) {
    return fmt::format("Value {0} of {1:g} is out of range", v.count, v.value);
  });
}
BENCHMARK(Message_fmt);
#endif

void Message_SystemMsgShort(benchmark::State& state) {
  formatAll(state, withSystemMsg, kShortValues);
}
BENCHMARK(Message_SystemMsgShort);

#ifdef ZEL_BENCH_HAVE_FMT
void Message_fmtPlain(benchmark::State& state) {
  formatAll(
      state,
      [](const Values& v) {
        return fmt::format("Value {0} of {1} is out of range", v.count, v.value);
      },
      kShortValues);
}
BENCHMARK(Message_fmtPlain);
#endif

#ifdef ZEL_BENCH_HAVE_BOOST
void Message_boost(benchmark::State& state) {
  formatAll(state, [](const Values& v) {
    return (boost::format("Value %1% of %2% is out of range") % v.count %
            v.value)
        .str();
  });
}
BENCHMARK(Message_boost);
#endif

}  // namespace
