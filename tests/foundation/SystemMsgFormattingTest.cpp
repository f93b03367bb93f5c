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
#include <string>
#include <vector>

namespace zel {
namespace {

template <typename T>
std::string streamed(T value) {
  std::ostringstream stream;
  stream << value;
  return stream.str();
}

// Every value as SystemMsg writes it, against a fresh stream; stops at the
// first difference.
template <typename T>
void expectWrittenAsByAStream(const std::vector<T>& values) {
  for (const T value : values) {
    ASSERT_EQ(SystemMsg("<%1>").arg(value).str(), "<" + streamed(value) + ">")
        << "for a value the stream writes as " << streamed(value);
  }
}

template <typename T>
std::vector<T> integers(std::mt19937_64& random) {
  using Limits = std::numeric_limits<T>;
  std::vector<T> values = {Limits::min(), Limits::max(), 0, 1, 9, 10, 99, 100};
  values.push_back(static_cast<T>(Limits::max() / 10));
  values.push_back(static_cast<T>(Limits::min() + 1));
  std::uniform_int_distribution<T> any(Limits::min(), Limits::max());
  for (int i = 0; i < 500; ++i) values.push_back(any(random));
  return values;
}

// Values where six significant digits round, switch to exponent notation or
// run out, the special values, and random bit patterns over every exponent.
template <typename T, typename Bits>
std::vector<T> floatingValues(std::mt19937_64& random) {
  using Limits = std::numeric_limits<T>;
  std::vector<T> values = {0,           -T(0),       T(0.5),         T(-2.25),
                           T(1) / 3,    T(999999.5), T(9999995),     T(1234567),
                           T(0.0001),   T(0.00001),  T(9.999995e-5), T(100),
                           T(123456.5), T(1e16),     T(-7.5e-7)};
  values.insert(values.end(), {Limits::min(), Limits::max(), Limits::lowest(),
                               Limits::denorm_min(), Limits::epsilon(),
                               Limits::infinity(), -Limits::infinity(),
                               Limits::quiet_NaN(), -Limits::quiet_NaN()});
  std::uniform_int_distribution<Bits> anyBits;
  for (int i = 0; i < 3000; ++i) {
    const Bits bits = anyBits(random);
    T value;
    std::memcpy(&value, &bits, sizeof value);
    values.push_back(value);
  }
  std::uniform_real_distribution<T> moderate(-1e7, 1e7);
  for (int i = 0; i < 1000; ++i) values.push_back(moderate(random));
  return values;
}

void expectEveryNumberTypeWrittenAsByAStream() {
  std::mt19937_64 random(20260);
  expectWrittenAsByAStream(integers<short>(random));
  expectWrittenAsByAStream(integers<unsigned short>(random));
  expectWrittenAsByAStream(integers<int>(random));
  expectWrittenAsByAStream(integers<unsigned>(random));
  expectWrittenAsByAStream(integers<long>(random));
  expectWrittenAsByAStream(integers<unsigned long>(random));
  expectWrittenAsByAStream(integers<long long>(random));
  expectWrittenAsByAStream(integers<unsigned long long>(random));
  expectWrittenAsByAStream(floatingValues<float, std::uint32_t>(random));
  expectWrittenAsByAStream(floatingValues<double, std::uint64_t>(random));
}

// Digits grouped by three with '.', and ',' as the decimal point.
class GroupingPunctuation : public std::numpunct<char> {
 protected:
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

// Installs a global locale for a scope and restores the previous one.
class ScopedGlobalLocale {
 public:
  explicit ScopedGlobalLocale(const std::locale& locale)
      : m_previous(std::locale::global(locale)) {}
  ~ScopedGlobalLocale() { std::locale::global(m_previous); }

 private:
  std::locale m_previous;
};

TEST(SystemMsgFormatting, WritesNumbersAsAFreshStreamUnderTheClassicLocale) {
  ASSERT_TRUE(std::locale() == std::locale::classic());
  expectEveryNumberTypeWrittenAsByAStream();
}

TEST(SystemMsgFormatting, FollowsAGlobalLocaleThatGroupsDigits) {
  ScopedGlobalLocale grouping(
      std::locale(std::locale::classic(), new GroupingPunctuation));
  EXPECT_EQ(SystemMsg("%1 of %2").arg(1234567).arg(0.5f).str(),
            "1.234.567 of 0,5");
  EXPECT_EQ(SystemMsg("%1").arg(-9876543210LL).str(), "-9.876.543.210");
  EXPECT_EQ(SystemMsg("%1").arg(1234567.0).str(), "1,23457e+06");
  expectEveryNumberTypeWrittenAsByAStream();
}

TEST(SystemMsgFormatting, WritesCharactersAndTruthValuesAsAStreamDoes) {
  EXPECT_EQ(SystemMsg("%1%2%3")
                .arg('A')
                .arg(static_cast<unsigned char>('B'))
                .arg(static_cast<signed char>('C'))
                .str(),
            "ABC");
  EXPECT_EQ(SystemMsg("%1 %2").arg(true).arg(false).str(), "1 0");
  EXPECT_EQ(SystemMsg("%1").arg(2.5L).str(), "2.5");
}

}  // namespace
}  // namespace zel
