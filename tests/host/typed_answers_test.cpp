// What a person types into the window's status line: choices among names, a crop rectangle, a path.
#include "user/typed_answers.h"

#include "support/test_home.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::vector<std::string> kOffered = {"crossfade", "wipe left", "push", "12"};

std::optional<std::vector<size_t>> choices(const std::string& text, std::string* unknown = nullptr)
{
    std::string missing;
    auto chosen = hx::parseChoices(text, kOffered, missing);
    if (unknown)
        *unknown = missing;
    return chosen;
}

TEST(TypedAnswers, ChoicesByPositionNameOrAllInTheOrderTyped)
{
    EXPECT_EQ(choices("2, crossfade"), (std::vector<size_t>{1, 0}));
    EXPECT_EQ(choices(" wipe left ,3"), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(choices("*"), (std::vector<size_t>{0, 1, 2, 3}));
    EXPECT_EQ(choices(""), std::vector<size_t>{});
    EXPECT_EQ(choices(" , "), std::vector<size_t>{});
    // A name that looks like a number is taken as the name first.
    EXPECT_EQ(choices("12"), std::vector<size_t>{3});
}

TEST(TypedAnswers, ChoicesNotOfferedAreNamedAndChooseNothing)
{
    std::string unknown;
    for (const std::string text : {"5", "0", "-1", "crossfade, spiral", "2x", "99999999999999999999"}) {
        EXPECT_FALSE(choices(text, &unknown)) << text;
        EXPECT_FALSE(unknown.empty()) << text;
    }
    choices("1, spiral", &unknown);
    EXPECT_EQ(unknown, "spiral");
}

TEST(TypedAnswers, RectangleIsFourWholeNumbersInTheHostsRange)
{
    EXPECT_EQ(hx::parseRectangle("12 -6 100 50"), (std::vector<int32_t>{12, -6, 100, 50}));
    EXPECT_EQ(hx::parseRectangle("  0 0  32767 1 "), (std::vector<int32_t>{0, 0, 32767, 1}));
    for (const std::string text : {"", "1 2 3", "1 2 3 4 5", "1 2 3 x", "1.5 2 3 4", "1 2 3 40000", "1 2 3 -40000"})
        EXPECT_FALSE(hx::parseRectangle(text)) << text;
}

TEST(TypedAnswers, PathsCompleteAsFarAsTheFolderAgrees)
{
    char pattern[] = "/tmp/stillset-typed-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    writeFile(folder + "/song one.mp3", "x");
    writeFile(folder + "/song two.mp3", "x");
    writeFile(folder + "/.hidden", "x");
    std::filesystem::create_directory(folder + "/music");
    EXPECT_EQ(hx::completePath(folder + "/so"), folder + "/song ");
    EXPECT_EQ(hx::completePath(folder + "/song o"), folder + "/song one.mp3");
    EXPECT_EQ(hx::completePath(folder + "/mu"), folder + "/music/");
    EXPECT_EQ(hx::completePath(folder + "/zz"), folder + "/zz");
    EXPECT_EQ(hx::completePath(folder + "/no/such/"), folder + "/no/such/");
    // Hidden files complete only once their dot is typed.
    EXPECT_EQ(hx::completePath(folder + "/.h"), folder + "/.hidden");
    EXPECT_EQ(hx::completePath(folder + "/m"), folder + "/music/");
    std::filesystem::remove_all(folder);
}

} // namespace
