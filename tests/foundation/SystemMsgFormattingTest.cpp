// SystemMsg writes numbers without a stream when it can: these tests hold that
// shortcut to the bytes a fresh std::ostringstream writes, under the classic
// global locale and under one that groups digits.
#include <gtest/gtest.h>
#include <zel/SystemMsg.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <vector>

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

// Short decimals (N / 10^d with up to seven digits, from 1e-5 up to about
// 1e7), as floats and as doubles, and their neighbours one step away: the
// values most messages carry, written by a shortcut of their own.
TEST(SystemMsgFormatting, WritesShortDecimalsAsAFreshStream) {
  std::vector<double> values = {0.0001, 9.9999e-5, 0.000123456, 0.00012345, 999999.0,
                                999999.4, 999999.5, 1e6, 99999.95, 0.1, 0.3, 1e-4};
  const double scales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
  std::mt19937_64 random(515);
  std::uniform_int_distribution<int> digits(0, 9999999);
  for (int i = 0; i < 3000; ++i) {
    const double whole = i < 300 ? i : digits(random) / (i % 3 == 0 ? 1000 : 1);
    for (const double scale : scales) values.push_back(whole / scale);
  }
  for (const double value : values) {
    for (const double v : {value, -value, std::nextafter(value, 1e9),
                           std::nextafter(value, -1e9)}) {
      std::ostringstream asDouble;
      asDouble << v;
      ASSERT_EQ(SystemMsg("<%1>").arg(v).str(), "<" + asDouble.str() + ">") << v;
      const float f = static_cast<float>(v);
      std::ostringstream asFloat;
      asFloat << f;
      ASSERT_EQ(SystemMsg("<%1>").arg(f).str(), "<" + asFloat.str() + ">") << f;
    }
  }
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
