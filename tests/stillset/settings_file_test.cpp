#include "session_fixture.h"

#include "string_ids.h"
#include "stillset/operator_list_node.h"
#include "stillset/settings.h"
#include "stillset/time_units.h"

#include <csignal>
#include <filesystem>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Bytes of a settings file, field by field.
class SettingsBytes {
public:
    SettingsBytes& word(uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes_ += static_cast<char>(value >> (8 * i));
        boundaries_.push_back(bytes_.size());
        return *this;
    }
    SettingsBytes& raw(const std::string& text)
    {
        bytes_ += text;
        boundaries_.push_back(bytes_.size());
        return *this;
    }
    SettingsBytes& record(const std::string& name, uint32_t variant, const std::string& prefs)
    {
        return word(static_cast<uint32_t>(name.size())).raw(name).word(variant).word(static_cast<uint32_t>(prefs.size())).raw(prefs);
    }
    const std::string& bytes() const { return bytes_; }
    const std::vector<size_t>& boundaries() const { return boundaries_; }

private:
    std::string bytes_;
    std::vector<size_t> boundaries_;
};

// Version 5: two transitions (one with a block), a jingle, one effect with a block.
SettingsBytes fullFile()
{
    SettingsBytes file;
    file.word(5).word(6).word(1).word(2).word(1).word(4).word(1).word(2);
    file.word(2).record("transition/cross", 0, "\x01\x02\x03").record("transition/wipe", 0, "");
    file.word(8).raw("/j/a.wav").word(2).raw(std::string("h\0i\0", 4));
    file.word(1).word(1).word(3);
    file.word(1).record("longterm/stillsetpan.opw", 2, std::string("\x02\0\0\0", 4));
    file.word(7).word(0).word(9);
    return file;
}

class SettingsFileTest : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        ASSERT_EQ(0, mkdir((home() + "/programs/stillset/project1").c_str(), 0777));
    }
    // Starts a session on the stored file and returns what the start-up left on disk.
    std::string startOn(const std::string& stored)
    {
        writeFile(settingsPath(), stored);
        EXPECT_EQ(startToolSession(), 0);
        return readFile(settingsPath());
    }
    void TearDown() override
    {
        endToolSession();
        expectNothingLive();
        PluginTest::TearDown();
    }
    static std::vector<std::string> names(const ListHead& list)
    {
        std::vector<std::string> out;
        for (auto* e = static_cast<OperatorEntry*>(ListFirst(&list)); e; e = static_cast<OperatorEntry*>(ListNext(e)))
            out.push_back(e->name);
        return out;
    }
};

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndAFreshFileByteForByte)
{
    const std::string fresh = startOn("");
    std::filesystem::remove(settingsPath()); // nothing stored at all
    endToolSession();
    ASSERT_EQ(startToolSession(), 0);
    SettingsBytes expected;
    expected.word(5).word(4).word(1).word(3).word(0).word(2).word(0).word(0).word(0).word(0).word(0);
    expected.word(0).word(0).word(0).word(0).word(0).word(1).word(0);
    EXPECT_EQ(readFile(settingsPath()), expected.bytes());
    const Settings& s = session.settings;
    EXPECT_EQ(s.defaultDurationCode, 4);
    EXPECT_EQ(s.defaultDuration, 125);
    EXPECT_EQ(s.thumbSize, 3);
    EXPECT_EQ(s.transitionLengthCode, 2);
    EXPECT_EQ(s.replaceStoryboard, 1);
    EXPECT_EQ(s.jingleFile, nullptr);
}

TEST_F(SettingsFileTest, FullFileReadsAndWritesBackExactly)
{
    const SettingsBytes file = fullFile();
    EXPECT_EQ(startOn(file.bytes()), file.bytes()) << "a good file is not rewritten";
    const Settings& s = session.settings;
    EXPECT_EQ(s.defaultDurationCode, 6);
    EXPECT_EQ(s.defaultDuration, durationFrames(6));
    EXPECT_EQ(s.transitionsEnabled, 1);
    EXPECT_EQ(s.transitionLengthCode, 4);
    EXPECT_STREQ(s.jingleFile, "/j/a.wav");
    EXPECT_EQ(std::u16string(s.jingleName), u"hi");
    EXPECT_EQ(s.effectsEnabled, 1);
    EXPECT_EQ(s.gridPosition, 7);
    EXPECT_EQ(s.replaceStoryboard, 0);
    EXPECT_EQ(s.reservedB, 9);
    EXPECT_EQ(names(session.transitionList), (std::vector<std::string>{"transition/cross", "transition/wipe"}));
    auto* wipe = static_cast<OperatorEntry*>(ListLast(&session.transitionList));
    EXPECT_EQ(wipe->prefsSize, 0u);
    EXPECT_EQ(wipe->prefs, nullptr);
    auto* pan = static_cast<OperatorEntry*>(ListFirst(&session.effectList));
    EXPECT_EQ(pan->variant, 2u);
    EXPECT_EQ(pan->prefsSize, 4u);

    ASSERT_EQ(writeSettings(session.projectDir), 0);
    EXPECT_EQ(readFile(settingsPath()), file.bytes());
}

TEST_F(SettingsFileTest, VersionTwoFileEndsAfterTheEffects)
{
    SettingsBytes file;
    file.word(2).word(4).word(1).word(3).word(0).word(2).word(0).word(0).word(0).word(0).word(0);
    file.word(0).word(0).word(0).word(0);
    startOn(file.bytes());
    EXPECT_EQ(entries(4, "src\\stillset").size(), 0u);
    EXPECT_EQ(session.settings.gridPosition, 0);
    EXPECT_EQ(session.settings.replaceStoryboard, 1);
    EXPECT_EQ(session.settings.reservedB, 0);
}

TEST_F(SettingsFileTest, EnabledListsWithoutEntriesReadAsDisabled)
{
    SettingsBytes file;
    file.word(5).word(4).word(1).word(3).word(1).word(2).word(0).word(0).word(0).word(0).word(0);
    file.word(1).word(0).word(0).word(0).word(0).word(1).word(0);
    startOn(file.bytes());
    EXPECT_EQ(session.settings.transitionsEnabled, 0);
    EXPECT_EQ(session.settings.effectsEnabled, 0);
}

// A file an old writer made, whole: its photo list goes aside with it, and the person is told.
TEST_F(SettingsFileTest, VersionOneFileDiscardsThePhotoListAndStartsAfresh)
{
    ASSERT_EQ(startToolSession(), 0);
    ListAppend(&session.photoList, newEntry(5));
    endToolSession();
    SettingsBytes old;
    old.word(1).word(6).word(1).word(2).word(1).word(4).word(0).word(0);
    old.word(1).record("transition/cross", 0, "").word(0).word(0).word(0).word(0).word(0).word(0);
    startOn(old.bytes());
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u);
    EXPECT_EQ(ListCount(&session.photoList), 0);
    EXPECT_EQ(ListCount(&session.transitionList), 0) << "nothing of the old file is taken";
    EXPECT_EQ(session.settings.thumbSize, 3);
    EXPECT_EQ(session.settingsNotice, kStrSettingsTooOld);
    EXPECT_TRUE(fileExists(hxhost::photoListPath(projectDir()) + ".discarded"));
    EXPECT_EQ(readFile(settingsPath()).size(), 72u);
    EXPECT_EQ(readFile(settingsPath()).substr(0, 4), std::string("\x05\0\0\0", 4));
}

// One damaged byte that makes the head word read as an old version, or a file of zeros, is damage:
// the defaults, the photos kept, the damaged file set aside and the person told. So is any other
// file that cannot be read whole.
TEST_F(SettingsFileTest, DamagedFileKeepsThePhotoListAndIsSetAside)
{
    ASSERT_EQ(startToolSession(), 0);
    ListAppend(&session.photoList, newEntry(5));
    std::string headOne = fullFile().bytes(), headZero = headOne;
    headOne[0] = 1;
    headZero[0] = 0;
    SettingsBytes oldSmallThumbs;
    oldSmallThumbs.word(1).word(4).word(1).word(0).word(0).word(2).word(0).word(0).word(0).word(0).word(0);
    oldSmallThumbs.word(0).word(0).word(0).word(0);
    const std::string damaged[] = {headOne,
                                   headZero,
                                   std::string(72, '\0'),
                                   std::string(300, '\0'),
                                   oldSmallThumbs.bytes(),
                                   std::string("\x01\0\0\0", 4),
                                   fullFile().bytes().substr(0, 50),
                                   std::string("\xff\xff\xff\xff\x05", 5)};
    for (size_t i = 0; i < std::size(damaged); ++i) {
        SCOPED_TRACE(i);
        endToolSession();
        ASSERT_EQ(readFile(hxhost::photoListPath(projectDir())).size(), 12u + 64u);
        startOn(damaged[i]);
        EXPECT_EQ(ListCount(&session.photoList), 1);
        EXPECT_EQ(session.settingsNotice, kStrSettingsDamaged);
        EXPECT_EQ(session.settings.thumbSize, 3);
        EXPECT_EQ(readFile(settingsPath() + ".damaged" + (i ? "." + std::to_string(i) : "")), damaged[i]);
        EXPECT_FALSE(fileExists(hxhost::photoListPath(projectDir()) + ".discarded"));
    }
    // A good file, or none at all, says nothing.
    endToolSession();
    startOn(fullFile().bytes());
    EXPECT_EQ(session.settingsNotice, 0);
    endToolSession();
    std::filesystem::remove(settingsPath());
    ASSERT_EQ(startToolSession(), 0);
    EXPECT_EQ(session.settingsNotice, 0);
}

TEST_F(SettingsFileTest, FileCutAtEveryFieldBoundaryFallsBackWithoutLosingCompleteRecords)
{
    const SettingsBytes file = fullFile();
    const size_t firstEnd = 36 + 4 + 16 + 4 + 4 + 3, secondEnd = firstEnd + 4 + 15 + 4 + 4;
    std::set<int> linesOfCuts;
    for (size_t cut : std::set<size_t>(file.boundaries().begin(), file.boundaries().end())) {
        if (cut == file.bytes().size())
            continue;
        hxhost::clearLog();
        const std::string rewritten = startOn(file.bytes().substr(0, cut));
        const size_t transitionsDone = cut >= secondEnd ? 2 : cut >= firstEnd ? 1 : 0;
        EXPECT_EQ(session.settings.thumbSize, 3) << "cut at " << cut;
        EXPECT_EQ(session.settings.defaultDuration, 125) << "cut at " << cut;
        const auto failures = entries(4, "src\\stillset");
        ASSERT_GE(failures.size(), 1u) << "cut at " << cut;
        // The entry says which field was cut: each field of each list logs at its own line (the
        // second transition's fields are the first's).
        if (cut < firstEnd || cut >= secondEnd) {
            EXPECT_TRUE(linesOfCuts.insert(failures[0].line).second) << "cut at " << cut << " logs at line " << failures[0].line;
        }
        EXPECT_EQ(names(session.transitionList).size(), transitionsDone) << "cut at " << cut;
        const size_t effectEnd = file.bytes().size() - 12; // the last three words follow the effect
        EXPECT_EQ(ListCount(&session.effectList), cut >= effectEnd ? 1 : 0) << "cut at " << cut;
        // The fresh file holds the records that were kept.
        EXPECT_EQ(rewritten.substr(0, 4), std::string("\x05\0\0\0", 4));
        EXPECT_EQ(rewritten[32], static_cast<char>(transitionsDone)) << "cut at " << cut;
        endToolSession();
        std::filesystem::remove(settingsPath());
    }
}

TEST_F(SettingsFileTest, ImplausibleLengthsAndCountsAreRefused)
{
    SettingsBytes hugeCount, hugeName, hugeBlock;
    hugeCount.word(5).word(4).word(1).word(3).word(0).word(2).word(0).word(0).word(0xFFFFFFFF);
    hugeName.word(5).word(4).word(1).word(3).word(0).word(2).word(0).word(0).word(1).word(0x7FFFFFFF);
    hugeBlock.word(5).word(4).word(1).word(3).word(0).word(2).word(0).word(0).word(1).record("t", 0, "").word(0);
    std::string block = hugeBlock.bytes();
    block.replace(block.size() - 8, 4, std::string("\0\0\0\x40", 4)); // block size 1 GiB
    for (const std::string& stored : {hugeCount.bytes(), hugeName.bytes(), block}) {
        hxhost::clearLog();
        const std::string rewritten = startOn(stored);
        EXPECT_GE(entries(4, "src\\stillset").size(), 1u);
        EXPECT_EQ(ListCount(&session.transitionList), 0);
        EXPECT_EQ(rewritten.size(), 72u);
        endToolSession();
    }
    ASSERT_EQ(startToolSession(), 0);
}

TEST_F(SettingsFileTest, WritingReplacesTheFileWholeAndLeavesNoTemporaryFile)
{
    writeFile(settingsPath(), std::string(500, 'x'));
    ASSERT_EQ(startToolSession(), 0);
    ASSERT_EQ(writeSettings(session.projectDir), 0);
    EXPECT_EQ(readFile(settingsPath()).size(), 72u);
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(projectDir()))
        if (entry.path().filename().string().rfind("slset", 0) == 0)
            files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"slset.dat", "slset.dat.damaged"}));
}

// A disk that fills up after each field in turn: every failed field of the writer, each list's
// records apart, logs at a line of its own, and the stored file stays whole.
TEST_F(SettingsFileTest, EachFailedFieldOfTheWriterLogsAtItsOwnLine)
{
    const SettingsBytes file = fullFile();
    const std::string stored = startOn(file.bytes());
    ASSERT_EQ(stored, file.bytes());
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the process
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const size_t firstEnd = 36 + 4 + 16 + 4 + 4 + 3, secondEnd = firstEnd + 4 + 15 + 4 + 4;
    std::set<int> lines;
    for (size_t boundary : std::set<size_t>(file.boundaries().begin(), file.boundaries().end())) {
        if (boundary == file.bytes().size() || (boundary >= firstEnd && boundary < secondEnd))
            continue; // the second transition's fields are the first's
        hxhost::clearLog();
        rlimit limited = unlimited;
        limited.rlim_cur = boundary;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const int32_t result = writeSettings(session.projectDir);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(result, -1) << "full after " << boundary;
        const auto failures = entries(4, "src\\stillset");
        ASSERT_EQ(failures.size(), 1u) << "full after " << boundary;
        EXPECT_TRUE(lines.insert(failures[0].line).second) << "full after " << boundary << " logs at line " << failures[0].line;
        EXPECT_EQ(readFile(settingsPath()), stored);
    }
    std::signal(SIGXFSZ, SIG_DFL);
}

TEST_F(SettingsFileTest, WriteIntoAMissingDirectoryFailsAndIsLogged)
{
    ASSERT_EQ(startToolSession(), 0);
    hxhost::clearLog();
    EXPECT_EQ(writeSettings((home() + "/no/such/dir").c_str()), -1);
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u);
}

} // namespace
