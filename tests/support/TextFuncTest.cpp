#include "support/TextFunc.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Pieces = std::vector<std::string>;

TEST(SplitStringTest, KeepsInnerAndLeadingEmptyPiecesButNoTrailingOne)
{
    EXPECT_EQ(TTextFunc::SplitString("a|b|c", '|'), (Pieces{"a", "b", "c"}));
    EXPECT_EQ(TTextFunc::SplitString("a||b", '|'), (Pieces{"a", "", "b"}));
    EXPECT_EQ(TTextFunc::SplitString("|a", '|'), (Pieces{"", "a"}));
    EXPECT_EQ(TTextFunc::SplitString("a|", '|'), (Pieces{"a"}));
    EXPECT_EQ(TTextFunc::SplitString("|", '|'), (Pieces{""}));
    EXPECT_EQ(TTextFunc::SplitString("abc", '|'), (Pieces{"abc"}));
    EXPECT_EQ(TTextFunc::SplitString("", '|'), Pieces{});
}

TEST(SplitStringTest, MatchesTheExactCharacterOnly)
{
    EXPECT_EQ(TTextFunc::SplitString("1:30:00", ':'), (Pieces{"1", "30", "00"}));
    EXPECT_EQ(TTextFunc::SplitString("a|b", ':'), (Pieces{"a|b"}));
    EXPECT_EQ(TTextFunc::SplitString("size=12 time=3.5", '='), (Pieces{"size", "12 time", "3.5"}));
}

struct NumberCase
{
    const char *text;
    double expected;
};

class TextToNumberTest : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(TextToNumberTest, ReadsLeniently)
{
    EXPECT_DOUBLE_EQ(TTextFunc::TextToNumber(GetParam().text), GetParam().expected)
        << "text: \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextToNumberTest,
    ::testing::Values(NumberCase{"12", 12}, NumberCase{" 1:30 ", 130}, NumberCase{"-3.5", -3.5},
                      NumberCase{"1.2.3", 1.23}, NumberCase{"1,234", 1234}, NumberCase{"5-3", 53},
                      NumberCase{"+-7", 7}, NumberCase{"1e5", 15}, NumberCase{"abc", 0},
                      NumberCase{"", 0}, NumberCase{".", 0}, NumberCase{"-", 0},
                      NumberCase{"-.", 0}, NumberCase{"+", 0}, NumberCase{"7", 7},
                      NumberCase{"\t\r\n42\x01", 42}, NumberCase{".5", 0.5},
                      NumberCase{"-.25", -0.25}, NumberCase{"00059", 59},
                      NumberCase{"time=10000000000", 10000000000.0}));

TEST(TextToNumberEdgeTest, NeverFailsOnHugeDigitRuns)
{
    EXPECT_TRUE(std::isinf(TTextFunc::TextToNumber(std::string(400, '9'))));
    EXPECT_EQ(TTextFunc::TextToNumber("0." + std::string(400, '0') + "1"), 0.0);
}

struct SizeCase
{
    int64_t bytes;
    const char *expected;
};

class FormatFileSizeTest : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(FormatFileSizeTest, CutsToTwoDecimals)
{
    EXPECT_EQ(TTextFunc::FormatFileSize(GetParam().bytes, "."), GetParam().expected)
        << "bytes: " << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatFileSizeTest,
    ::testing::Values(SizeCase{0, "0 B"}, SizeCase{1023, "1023 B"}, SizeCase{1024, "1 KB"},
                      SizeCase{1536, "1.5 KB"}, SizeCase{1178, "1.15 KB"},
                      SizeCase{1048575, "1023.99 KB"}, SizeCase{1048576, "1 MB"},
                      SizeCase{123456789, "117.73 MB"}, SizeCase{1073741823, "1023.99 MB"},
                      SizeCase{1073741824, "1 GB"}, SizeCase{5000000000, "4.65 GB"},
                      SizeCase{-5, "0 B"}, SizeCase{2199023255552, "2048 GB"},
                      SizeCase{std::numeric_limits<int64_t>::max(), "8589934591.99 GB"}));

TEST(FormatFileSizeLocaleTest, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(TTextFunc::FormatFileSize(1536, ","), "1,5 KB");
    EXPECT_EQ(TTextFunc::FormatFileSize(1024, ","), "1 KB");
}

TEST(FormatFileSizeLocaleTest, DefaultsToTheUserLocaleSeparator)
{
    EXPECT_EQ(TTextFunc::FormatFileSize(1536), "1" + TTextFunc::UserDecimalSeparator() + "5 KB");
}

struct TimeCase
{
    int64_t seconds;
    const char *expected;
};

class FormatTimeTest : public ::testing::TestWithParam<TimeCase>
{
};

TEST_P(FormatTimeTest, WritesHoursMinutesSeconds)
{
    EXPECT_EQ(TTextFunc::FormatTime(GetParam().seconds), GetParam().expected)
        << "seconds: " << GetParam().seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatTimeTest,
    ::testing::Values(TimeCase{0, "00:00:00"}, TimeCase{59, "00:00:59"}, TimeCase{61, "00:01:01"},
                      TimeCase{3600, "01:00:00"}, TimeCase{3661, "01:01:01"},
                      TimeCase{86399, "23:59:59"}, TimeCase{360000, "100:00:00"},
                      TimeCase{-1, "00:00:00"},
                      TimeCase{std::numeric_limits<int64_t>::min(), "00:00:00"},
                      TimeCase{std::numeric_limits<int64_t>::max(), "2562047788015215:30:07"}));

TEST(FormatTimeRoundTripTest, ReadsBackThroughSplitAndTextToNumber)
{
    for (int64_t seconds : {int64_t(0), int64_t(7), int64_t(3599), int64_t(45296), int64_t(360061),
                            int64_t(99 * 3600 + 59 * 60 + 59)}) {
        const Pieces parts = TTextFunc::SplitString(TTextFunc::FormatTime(seconds), ':');
        ASSERT_EQ(parts.size(), 3u) << seconds;
        EXPECT_EQ(TTextFunc::TextToNumber(parts[0]), seconds / 3600);
        EXPECT_EQ(TTextFunc::TextToNumber(parts[1]), seconds % 3600 / 60);
        EXPECT_EQ(TTextFunc::TextToNumber(parts[2]), seconds % 60);
    }
}

TEST(PadNumberTest, PadsTheTruncatedQuotient)
{
    EXPECT_EQ(TTextFunc::PadNumber(5, 1, 2), "05");
    EXPECT_EQ(TTextFunc::PadNumber(123, 1, 2), "123");
    EXPECT_EQ(TTextFunc::PadNumber(125000, 60000, 2), "02");
    EXPECT_EQ(TTextFunc::PadNumber(7, 1, 0), "7");
    EXPECT_EQ(TTextFunc::PadNumber(0, 1000, 3), "000");
}

TEST(PadNumberTest, ZeroDivisorDoesNotCrash)
{
    EXPECT_EQ(TTextFunc::PadNumber(5, 0, 2), "05");
    EXPECT_EQ(TTextFunc::PadNumber(std::numeric_limits<int64_t>::min(), -1, 1),
              "-9223372036854775808");
}

} // namespace
