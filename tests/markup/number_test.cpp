#include "markup/number.h"

#include <gtest/gtest.h>

namespace orbis {
namespace {

struct NumberCase {
  const char* text;
  bool allowBareHex;
  bool accepted;
  uint32_t value;
};

class ParseNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberTest, ReadsOrRejects) {
  const NumberCase& c = GetParam();
  const uint32_t untouched = 0xDEADBEEF;
  uint32_t out = untouched;
  EXPECT_EQ(parseNumber(c.text, c.allowBareHex, out), c.accepted) << c.text;
  EXPECT_EQ(out, c.accepted ? c.value : untouched) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, ParseNumberTest,
    ::testing::Values(NumberCase{"0", false, true, 0}, NumberCase{"123", false, true, 123},
                      NumberCase{"0x1f", false, true, 0x1F}, NumberCase{"0X1F", false, true, 0x1F},
                      NumberCase{"#ff", false, true, 0xFF}, NumberCase{"#0", true, true, 0},
                      NumberCase{"0x0x1", false, false, 0}, NumberCase{"##1", false, false, 0},
                      NumberCase{"007", false, true, 7}, NumberCase{"x10", false, false, 0}));

INSTANTIATE_TEST_SUITE_P(NoDigits, ParseNumberTest,
                         ::testing::Values(NumberCase{"", false, true, 0},
                                           NumberCase{"", true, true, 0},
                                           NumberCase{"#", false, true, 0},
                                           NumberCase{"0x", false, true, 0},
                                           NumberCase{"0X", true, true, 0}));

// Six characters are bare hexadecimal only when asked for, and only at
// exactly six.
INSTANTIATE_TEST_SUITE_P(BareHex, ParseNumberTest,
                         ::testing::Values(NumberCase{"FF0000", true, true, 0xFF0000},
                                           NumberCase{"FF0000", false, false, 0},
                                           NumberCase{"123456", true, true, 0x123456},
                                           NumberCase{"123456", false, true, 123456},
                                           NumberCase{"abcdef", true, true, 0xABCDEF},
                                           NumberCase{"FF000", true, false, 0},
                                           NumberCase{"12345", true, true, 12345},
                                           NumberCase{"1234567", true, true, 1234567},
                                           NumberCase{"0x1234", true, true, 0x1234},
                                           NumberCase{"#12345", true, true, 0x12345}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, ParseNumberTest,
    ::testing::Values(NumberCase{"0x1G", false, false, 0}, NumberCase{"-5", false, false, 0},
                      NumberCase{"+5", false, false, 0}, NumberCase{" 5", false, false, 0},
                      NumberCase{"5 ", false, false, 0}, NumberCase{"1a", false, false, 0},
                      NumberCase{"red", true, false, 0}, NumberCase{"12.5", false, false, 0}));

INSTANTIATE_TEST_SUITE_P(Wraps, ParseNumberTest,
                         ::testing::Values(NumberCase{"#123456789", false, true, 0x23456789},
                                           NumberCase{"0xFFFFFFFF", false, true, 0xFFFFFFFF},
                                           NumberCase{"4294967295", false, true, 4294967295u},
                                           NumberCase{"4294967296", false, true, 0},
                                           NumberCase{"4294967306", false, true, 10},
                                           NumberCase{"0x100000041", false, true, 0x41}));

TEST(ParseNumber, NullIsRejected) {
  uint32_t out = 7;
  EXPECT_FALSE(parseNumber(static_cast<const char*>(nullptr), true, out));
  EXPECT_EQ(out, 7u);
}

}  // namespace
}  // namespace orbis
