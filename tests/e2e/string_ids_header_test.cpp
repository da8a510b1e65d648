// The build's header of the string catalogue's names, made by its own program from the catalogue.
#include "e2e/program_run.h"
#include "support/test_home.h"

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace {

const std::string kTool = std::string(STILLSET_BIN_DIR) + "/string_ids_header";

class StringIdsHeaderTest : public HostTest {
protected:
    std::string catalogue() const { return home() + "/strings.txt"; }
    std::string header() const { return home() + "/string_ids.h"; }

    void writeCatalogue(const std::string& text) const { std::ofstream(catalogue(), std::ios::binary) << text; }
    ProgramRun generate(const std::string& from) const { return run(kTool + " '" + from + "' '" + header() + "'"); }
};

TEST_F(StringIdsHeaderTest, NamesEveryEntryOfTheToolsCatalogue)
{
    const std::string source = std::string(STILLSET_SOURCE_DIR) + "/resources/stillset/strings.txt";
    const ProgramRun made = generate(source);
    ASSERT_EQ(made.status, 0) << made.output;
    const std::string text = readFile(header());
    EXPECT_NE(text.find("inline constexpr int32_t kStrAdd = 201;\n"), std::string::npos);
    EXPECT_NE(text.find("inline constexpr int32_t kStrHostTooOld = 1500;\n"), std::string::npos);

    std::ifstream in(source);
    size_t entries = 0;
    for (std::string line; std::getline(in, line);)
        entries += std::regex_search(line, std::regex("^[0-9]+\t"));
    const std::regex named("inline constexpr int32_t kStr[A-Za-z0-9_]+ = [0-9]+;");
    EXPECT_EQ(static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), named),
                                                std::sregex_iterator())),
              entries);
}

// A catalogue against the rule is refused with the line that breaks it; the header of the last
// good build stays as it was and no part of a new one is left behind.
TEST_F(StringIdsHeaderTest, RefusesACatalogueAgainstTheRuleAndKeepsTheLastHeader)
{
    struct Case {
        const char* catalogue;
        const char* why;
    };
    const Case cases[] = {
        {"# A comment\n1\tA\n", "line 2: entry 1 has no name line above it"},
        {"# name: kStrA\n1\tA\n# name: kStrA\n2\tB\n", "line 3: kStrA names two entries"},
        {"# name: kStrA\n\n1\tA\n", "line 2: kStrA is not followed by its entry"},
        {"# name: kStrA\n1 A\n", "line 2: kStrA is not followed by its entry"},
        {"# name: kStrA\n# name: kStrB\n1\tA\n", "line 2: a second name before the entry of kStrA"},
        {"# name: kStrA\n2\tA\n# name: kStrB\n2\tB\n", "line 4: entry 2 is not above the one before"},
        {"# name: add\n1\tA\n", "line 1: \"add\" is not a name of the form kStrName"},
        {"# name: kStrA b\n1\tA\n", "line 1: \"kStrA b\" is not a name"},
        {"# name: kStrA\n1\tA\nstray\n", "line 3: neither an entry, a name nor a comment"},
        {"# name: kStrA\n1\tA\n# name: kStrB\n", "the end: kStrB is not followed by its entry"},
        {"# name: kStrA\n12345678901\tA\n", "line 2: kStrA is not followed by its entry"},
    };
    std::ofstream(header()) << "the last good header\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.catalogue);
        writeCatalogue(c.catalogue);
        const ProgramRun refused = generate(catalogue());
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.output.find(c.why), std::string::npos) << refused.output;
        EXPECT_EQ(readFile(header()), "the last good header\n");
        EXPECT_FALSE(std::filesystem::exists(header() + ".part"));
    }
    EXPECT_EQ(generate(home() + "/missing.txt").status, 1);
}

// Windows line ends are read as the host reads them; a header that would not change is not
// written again, so that nothing that includes it is rebuilt.
TEST_F(StringIdsHeaderTest, AnUnchangedHeaderIsNotWrittenAgain)
{
    writeCatalogue("# name: kStrFirst\r\n1\tFirst\r\n\r\n# name: kStrSecond\r\n7\tSecond\r\n");
    ASSERT_EQ(generate(catalogue()).status, 0);
    const std::string text = readFile(header());
    EXPECT_NE(text.find("kStrFirst = 1;\ninline constexpr int32_t kStrSecond = 7;\n"), std::string::npos) << text;

    const utimbuf old{1000000000, 1000000000};
    ASSERT_EQ(utime(header().c_str(), &old), 0);
    ASSERT_EQ(generate(catalogue()).status, 0);
    struct stat after {};
    ASSERT_EQ(stat(header().c_str(), &after), 0);
    EXPECT_EQ(after.st_mtime, old.modtime);

    writeCatalogue("# name: kStrFirst\n1\tFirst\n# name: kStrThird\n9\tThird\n");
    ASSERT_EQ(generate(catalogue()).status, 0);
    EXPECT_NE(readFile(header()).find("kStrThird = 9;"), std::string::npos);
}

} // namespace
