// Every command of the host program: its help names every option it takes, and it refuses what it
// does not take with one clear line.
#include "commands.h"
#include "e2e/program_run.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// `name` as a word of the help: followed by its value, a comma or the end of the line.
bool mentions(const std::string& help, const std::string& name)
{
    for (size_t at = help.find(name); at != std::string::npos; at = help.find(name, at + 1)) {
        const char after = at + name.size() < help.size() ? help[at + name.size()] : '\n';
        if (help[at - 1] == ' ' && (after == ' ' || after == ',' || after == '\n'))
            return true;
    }
    return false;
}

TEST(CommandOptions, EachCommandsHelpListsEveryOptionItTakes)
{
    const ProgramRun usage = run(kHost + " --help");
    for (const Command& command : commands()) {
        EXPECT_TRUE(mentions(usage.output, command.name)) << command.name;
        const ProgramRun help = run(kHost + " " + command.name + " --help");
        EXPECT_EQ(help.status, 0) << command.name;
        EXPECT_EQ(help.output.rfind(std::string("usage: stillset-host ") + command.name, 0), 0u) << help.output;
        for (const OptionEntry& entry : command.options()) {
            EXPECT_TRUE(mentions(help.output, entry.name)) << command.name << " " << entry.name;
            EXPECT_TRUE(entry.alias.empty() || mentions(help.output, entry.alias)) << command.name << " " << entry.alias;
            EXPECT_FALSE(entry.help.empty()) << command.name << " " << entry.name;
        }
    }
}

TEST(CommandOptions, AMisspeltOptionIsRefusedWithTheNearestName)
{
    for (const Command& command : commands()) {
        const OptionTable& table = command.options();
        // Each command's longest option with one letter dropped, else a word no command takes.
        const auto longest = std::max_element(table.begin(), table.end(), [](const OptionEntry& a, const OptionEntry& b) {
            return a.name.size() < b.name.size();
        });
        const std::string misspelt = longest == table.end() ? "--verbose" : longest->name.substr(0, 4) + longest->name.substr(5);
        const ProgramRun refused = run(kHost + " " + command.name + " photo.jpg " + misspelt + " 1");
        EXPECT_EQ(refused.status, 2) << refused.output;
        EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1) << refused.output;
        std::string expected = std::string("stillset-host: ") + command.name + ": unknown option '" + misspelt + "'";
        if (longest != table.end())
            expected += "; did you mean " + longest->name + "?";
        EXPECT_EQ(refused.output.rfind(expected, 0), 0u) << refused.output;
        EXPECT_NE(refused.output.find(std::string("(try stillset-host ") + command.name + " --help)"), std::string::npos);
    }
}

TEST(CommandOptions, HelpIsAnsweredBeforeTheValuesAreChecked)
{
    for (const std::string arguments : {"slideshow --threads many --help", "slideshow --bogus --help",
                                        "export --crf 99 -h", "render-photo --rotation 45 --help",
                                        "session --project -1 --help", "info --help --bogus"}) {
        const ProgramRun help = run(kHost + " " + arguments);
        EXPECT_EQ(help.status, 0) << arguments << ": " << help.output;
        EXPECT_EQ(help.output.rfind("usage: stillset-host ", 0), 0u) << arguments << ": " << help.output;
    }
}

TEST(CommandOptions, EveryUsageErrorNamesTheProgramAndTheCommand)
{
    const struct {
        std::string arguments, line;
    } cases[] = {
        {"info /no/such/plugin.so", "stillset-host: info: "},
        {"slideshow p.jpg -o a.mp4 --crf 1 --quality 2", "stillset-host: slideshow: --crf and --quality name the same thing"},
        {"slideshow p.jpg -o a.mp4 --pan 5", "stillset-host: slideshow: --pan takes a whole number from 0 to 4, not '5'"},
        {"pan p.jpg -o a.y4m --preset 1 --seconds 0", "stillset-host: pan: --seconds takes a number from"},
        {"render-photo p.jpg -o a.png --rotation 45", "stillset-host: render-photo: --rotation takes 0, 90, 180 or 270"},
        {"session --hxhome /nowhere --project 0 --screen 800x600", "stillset-host: session: --screen takes 1920x1080 or 1280x720"},
        {"storyboard --hxhome /nowhere", "stillset-host: storyboard: --hxhome and --project are required"},
        {"export --hxhome /nowhere --project 0 --to 0", "stillset-host: export: --to takes a whole number from 1"},
    };
    for (const auto& c : cases) {
        const ProgramRun refused = run(kHost + " " + c.arguments);
        EXPECT_NE(refused.status, 0) << c.arguments;
        EXPECT_EQ(refused.output.rfind(c.line, 0), 0u) << c.arguments << ": " << refused.output;
    }
}

} // namespace
