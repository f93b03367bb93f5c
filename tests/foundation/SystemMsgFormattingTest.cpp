// SystemMsg writes numbers without a stream when it can: these tests hold that
// shortcut to the bytes a fresh std::ostringstream writes, under the classic
// global locale and under one that groups digits.
#include <gtest/gtest.h>
#include <zel/SystemMsg.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <sstream>

namespace zel {
namespace {

// Edge values, the special values and random bit patterns of T, each written
// by SystemMsg and by a fresh stream; stops at the first difference.
template <typename T, typename Bits = T>
void expectWrittenAsByAStream(std::mt19937_64& random) {
  using Limits = std::numeric_limits<T>;
  std::vector<T> values = {Limits::min(), Limits::max(), Limits::lowest(), T(0), T(1),
                           T(9),          T(10),         T(99),            T(100)};
  if constexpr (Limits::is_iec559) {
    values.insert(values.end(), {T(0.5), T(-2.25), T(1) / 3, T(999999.5), T(9999995),
                                 T(1234567), T(0.00001), T(9.999995e-5), T(1e16), -T(0),
                                 Limits::denorm_min(), Limits::infinity(), Limits::quiet_NaN()});
  }
  std::uniform_int_distribution<Bits> anyBits;
  for (int i = 0; i < 2000; ++i) {
    const Bits bits = anyBits(random);
    T value;
    std::memcpy(&value, &bits, sizeof value);
    values.push_back(value);
  }
  for (const T value : values) {
    std::ostringstream stream;
    stream << value;
    ASSERT_EQ(SystemMsg("<%1>").arg(value).str(), "<" + stream.str() + ">");
  }
}

void expectEveryNumberTypeWrittenAsByAStream() {
  std::mt19937_64 random(20260);
  expectWrittenAsByAStream<short>(random);
  expectWrittenAsByAStream<unsigned short>(random);
  expectWrittenAsByAStream<int>(random);
  expectWrittenAsByAStream<unsigned>(random);
  expectWrittenAsByAStream<long>(random);
  expectWrittenAsByAStream<unsigned long long>(random);
  expectWrittenAsByAStream<float, std::uint32_t>(random);
  expectWrittenAsByAStream<double, std::uint64_t>(random);
}

// Digits grouped by three with '.', and ',' as the decimal point.
struct GroupingPunctuation : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(SystemMsgFormatting, WritesNumbersAsAFreshStreamUnderTheClassicLocale) {
  ASSERT_TRUE(std::locale() == std::locale::classic());
  expectEveryNumberTypeWrittenAsByAStream();
}

TEST(SystemMsgFormatting, FollowsAGlobalLocaleThatGroupsDigits) {
  const std::locale previous =
      std::locale::global(std::locale(std::locale::classic(), new GroupingPunctuation));
  EXPECT_EQ(SystemMsg("%1 of %2").arg(1234567).arg(0.5f).str(), "1.234.567 of 0,5");
  expectEveryNumberTypeWrittenAsByAStream();
  std::locale::global(previous);
}

}  // namespace
}  // namespace zel
