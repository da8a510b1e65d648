// The option parser as a command sees it: values read and checked from the command's table.
#include "options.h"

#include <gtest/gtest.h>

namespace {

const OptionTable kTable = {
    textOption("--output", "OUT", "where").alsoNamed("-o"),
    wholeNumberOption("--threads", "N", 0, 64, "threads"),
    numberOption("--seconds", "S", 0.5, 3600, "seconds"),
    choiceOption("--screen", {"1920x1080", "1280x720"}, "screen"),
    textOption("--transition", "NAME", "may be repeated"),
    wholeNumberOption("--quality", "N", 0, 63, "quality").alsoNamed("--crf"),
    switchOption("--random", "random"),
};

struct Parsed {
    bool ok;
    std::string error;
    Options options;
};

Parsed parse(const Arguments& arguments)
{
    Parsed parsed{false, "", Options("show", kTable)};
    parsed.ok = parsed.options.parse(arguments, parsed.error);
    return parsed;
}

TEST(OptionParser, ReadsValuesSwitchesAliasesAndPositionals)
{
    const Parsed p = parse({"a.jpg", "-o", "out.mp4", "--transition", "wipe", "b.jpg", "--random", "--transition",
                            "push", "--crf", "20", "--seconds", "2.5", "--threads", "-0"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.positional(), (std::vector<std::string>{"a.jpg", "b.jpg"}));
    EXPECT_EQ(p.options.value("--output"), "out.mp4");
    EXPECT_EQ(p.options.values("--transition"), (std::vector<std::string>{"wipe", "push"}));
    EXPECT_TRUE(p.options.has("--random"));
    EXPECT_EQ(p.options.wholeNumber("--quality", -1), 20); // given as --crf
    EXPECT_EQ(p.options.number("--seconds", 5), 2.5);
    EXPECT_EQ(p.options.wholeNumber("--threads", 7), 0);
    EXPECT_FALSE(p.options.has("--screen"));
    EXPECT_EQ(p.options.value("--screen", "1920x1080"), "1920x1080");
    EXPECT_FALSE(p.options.helpAsked());
}

TEST(OptionParser, RefusesValuesOutsideTheTableWithTheNameAsWritten)
{
    const struct {
        Arguments arguments;
        std::string error;
    } cases[] = {
        {{"--threads", "65"}, "--threads takes a whole number from 0 to 64, not '65'"},
        {{"--threads", "0x10"}, "not '0x10'"},
        {{"--threads", "+3"}, "not '+3'"},
        {{"--threads", ""}, "not ''"},
        {{"--crf", "2.5"}, "--crf takes a whole number from 0 to 63, not '2.5'"},
        {{"--seconds", "1e1"}, "--seconds takes a number from 0.5 to 3600, not '1e1'"},
        {{"--seconds", "nan"}, "not 'nan'"},
        {{"--seconds", "0.4"}, "not '0.4'"},
        {{"--screen", "800x600"}, "--screen takes 1920x1080 or 1280x720, not '800x600'"},
        {{"--transition", "wipe", "--seconds"}, "--seconds needs a value"},
        {{"--crf", "20", "--quality", "20"}, "--crf and --quality name the same thing; give one"},
        {{"-o", "a.mp4", "--output", "b.mp4"}, "-o and --output name the same thing; give one"},
        {{"--secnds", "2"}, "unknown option '--secnds'; did you mean --seconds? (try stillset-host show --help)"},
        {{"--colour", "red"}, "unknown option '--colour' (try"},
    };
    for (const auto& c : cases) {
        const Parsed p = parse(c.arguments);
        EXPECT_FALSE(p.ok) << c.error;
        EXPECT_NE(p.error.find(c.error), std::string::npos) << p.error;
        EXPECT_EQ(p.error.find("show:"), std::string::npos) << "the caller names the command: " << p.error;
    }
    // Every value of a repeated option is checked, not only the last.
    EXPECT_FALSE(parse({"--threads", "99", "--threads", "2"}).ok);
}

TEST(OptionParser, HelpWinsOverAnyMistakeButAValueIsAValue)
{
    for (const Arguments& arguments : std::vector<Arguments>{{"--threads", "x", "--help"},
                                                             {"--bogus", "-h"},
                                                             {"--help", "--seconds"},
                                                             {"a.jpg", "--crf", "1", "--quality", "2", "-h"}}) {
        const Parsed p = parse(arguments);
        EXPECT_TRUE(p.ok) << p.error;
        EXPECT_TRUE(p.options.helpAsked());
    }
    const Parsed titled = parse({"--transition", "-h"});
    EXPECT_TRUE(titled.ok);
    EXPECT_FALSE(titled.options.helpAsked());
    EXPECT_EQ(titled.options.value("--transition"), "-h");
}

TEST(OptionParser, HelpLinesLineUpEveryNameAndContinuation)
{
    const std::string help = optionHelp({textOption("--output", "OUT", "first\nsecond").alsoNamed("-o"),
                                         wholeNumberOption("--quality", "N", 0, 63, "q").alsoNamed("--crf"),
                                         switchOption("--random", "r")});
    EXPECT_EQ(help, "  -o, --output OUT      first\n"
                    "                        second\n"
                    "  --quality N, --crf N  q\n"
                    "  --random              r\n");
}

TEST(OptionParserDeathTest, ALookupOfANameOutsideTheTableStopsTheProgram)
{
    const Parsed p = parse({});
    EXPECT_DEATH(p.options.has("--treads"), "show has no option --treads");
}

} // namespace
