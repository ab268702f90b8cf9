#include "platform/CommandLine.h"

#include <gtest/gtest.h>
#include <random>

using platform::JoinCommandLine;
using platform::QuoteArgument;
using platform::QuoteArgumentIfNeeded;
using platform::SplitCommandLine;

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsByTheWindowsArgumentRules)
{
    EXPECT_EQ(SplitCommandLine(R"(a "b c" d)"), (Args{"a", "b c", "d"}));
    EXPECT_EQ(SplitCommandLine("  a\t\tb  "), (Args{"a", "b"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\b c\d)"), (Args{R"(a\\b)", R"(c\d)"}));
    EXPECT_EQ(SplitCommandLine(R"(a\"b)"), (Args{R"(a"b)"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\\"b)"), (Args{R"(a\"b)"}));
    EXPECT_EQ(SplitCommandLine(R"("a\\" b)"), (Args{R"(a\)", "b"}));
    EXPECT_EQ(SplitCommandLine(R"("ab""c" d)"), (Args{R"(ab"c)", "d"}));
    EXPECT_EQ(SplitCommandLine(R"(x "" y)"), (Args{"x", "", "y"}));
    EXPECT_EQ(SplitCommandLine(R"(a"b c"d)"), (Args{"ab cd"}));
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine(R"("unterminated b)"), (Args{"unterminated b"}));
}

TEST(CommandLine, QuotesAlwaysOrOnlyWhereNeeded)
{
    EXPECT_EQ(QuoteArgument("/video/clip.avi"), "\"/video/clip.avi\"");
    EXPECT_EQ(QuoteArgument(R"(say "hi")"), R"("say \"hi\"")");
    EXPECT_EQ(QuoteArgument(R"(ends\)"), R"("ends\\")");
    EXPECT_EQ(QuoteArgumentIfNeeded("/opt/tq/evc"), "/opt/tq/evc");
    EXPECT_EQ(QuoteArgumentIfNeeded("/opt/my tools/evc"), "\"/opt/my tools/evc\"");
    EXPECT_EQ(QuoteArgumentIfNeeded(""), "\"\"");
}

TEST(CommandLine, HostileNamesComeBackAsOneArgumentEach)
{
    const Args hostile = {"/music/two  blanks.mp3",
                          "/music/\"quoted\".mp3",
                          "/music/$HOME and $(rm -rf x).mp3",
                          "/music/`id`.mp3",
                          "-leading-dash.mp3",
                          "--acodec",
                          "/music/back\\slash\\",
                          "/music/back\\\\\"mix\\\"\\",
                          "\\\\\\\"",
                          "/music/K\xC3\xB6nig \xE6\x97\xA5\xE6\x9C\xAC.mp3",
                          "tab\there",
                          "new\nline",
                          "",
                          "\"",
                          "\"\"",
                          " ",
                          "'single'"};
    for (const std::string &argument : hostile) {
        EXPECT_EQ(SplitCommandLine(QuoteArgument(argument)), Args{argument}) << argument;
        EXPECT_EQ(SplitCommandLine("evc -i " + QuoteArgument(argument) + " -y"),
                  (Args{"evc", "-i", argument, "-y"}))
            << argument;
    }
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(hostile)), hostile);
}

TEST(CommandLine, RandomArgumentListsSurviveTheRoundTrip)
{
    std::mt19937 random(20261209);
    const std::string alphabet = "ab \t\"\\$`-'\xC3\xA9";
    for (int round = 0; round < 2000; ++round) {
        Args arguments(random() % 5 + 1);
        for (std::string &argument : arguments) {
            const std::size_t length = random() % 9;
            for (std::size_t i = 0; i < length; ++i)
                argument += alphabet[random() % alphabet.size()];
        }
        ASSERT_EQ(SplitCommandLine(JoinCommandLine(arguments)), arguments);
    }
}
