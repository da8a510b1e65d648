// Tests of the slideshow plug-in against a fresh host and installation.
#ifndef TESTS_STILLSET_SESSION_FIXTURE_H
#define TESTS_STILLSET_SESSION_FIXTURE_H

#include "support/picture_files.h"
#include "support/test_home.h"

#include "gui/tool_session.h"
#include "stillset/exports.h"
#include "stillset/session.h"

#include "hxhost/session_script.h"
#include "hxhost/storyboard.h"

#include <cstring>
#include <string>
#include <vector>

// One photo of the stored list: its scene's name and its fields (the pointers are stale).
struct StoredPhoto {
    std::string name;
    PhotoEntry fields;
    bool hasClip;
};

class PluginTest : public HostTest {
protected:
    // The host renders photo clips with this test's own copy of the plug-in, whose session and
    // picture cache the tests see, not with the installed library.
    void SetUp() override
    {
        HostTest::SetUp();
        hxhost::setPhotoRenderer({&stillsetDoPhoto, &stillsetGetFinalField});
    }

    // The tool's directory for host project `number`.
    std::string projectDir(int number = 0) const
    {
        return home() + "/programs/stillset/project" + std::to_string(number + 1);
    }
    std::string settingsPath(int number = 0) const { return projectDir(number) + "/slset.dat"; }

    static int32_t runAction(uint16_t action)
    {
        OperatorActionRecord record;
        std::memset(&record, 0, sizeof record);
        record.action = action;
        return OperatorAction(&record);
    }
    static int32_t runTool() { return runAction(OP_ACTION_RUN); }

    // Everything the host handed out during a test is back.
    static void expectNothingLive()
    {
        EXPECT_EQ(hxhost::liveCounts(), hxhost::LiveCounts{});
    }

    // Photos "p0", "p1" ... imported into the scene bin from JPEG files of 64x48 pixels.
    void addPhotos(int count, int first = 0)
    {
        for (int i = first; i < first + count; ++i) {
            const std::string path = home() + "/p" + std::to_string(i) + ".jpg";
            writeJpeg(path, 64, 48, {}, [i](int x, int, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(40 * i);
                rgb[1] = static_cast<uint8_t>(4 * x);
                rgb[2] = 200;
            });
            std::string error;
            ASSERT_NE(hxhost::importStill(path, &error), 0u) << error;
        }
    }

    // The user plays `script` (session script lines) in a session of the tool.
    static int32_t runScript(const std::string& script)
    {
        std::string error;
        EXPECT_TRUE(hxhost::parseSessionScript(script, "test", *hxhost::scriptedUser(), &error)) << error;
        const int32_t result = runTool();
        EXPECT_EQ(hxhost::scriptedUser()->failures(), std::vector<std::string>{});
        EXPECT_EQ(hxhost::scriptedUser()->actionsLeft(), 0u);
        return result;
    }

    // The photo list and the settings as the next session finds them.
    static std::vector<StoredPhoto> storedPhotos(Settings* settings = nullptr)
    {
        std::vector<StoredPhoto> photos;
        EXPECT_EQ(startToolSession(), 0);
        for (auto* entry = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); entry;
             entry = static_cast<PhotoEntry*>(ListNext(entry)))
            photos.push_back({nameOf(entry->source), *entry, entry->clip != 0});
        if (settings)
            *settings = session.settings;
        endToolSession();
        return photos;
    }
    static std::vector<std::string> storedNames()
    {
        std::vector<std::string> names;
        for (const StoredPhoto& photo : storedPhotos())
            names.push_back(photo.name);
        return names;
    }

    // Changes the stored photos between sessions: `change` gets each entry and its index.
    template <typename Change> static void changeStored(Change change)
    {
        ASSERT_EQ(startToolSession(), 0);
        int index = 0;
        for (auto* entry = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); entry;
             entry = static_cast<PhotoEntry*>(ListNext(entry)))
            change(*entry, index++);
        endToolSession();
    }

    // Gives every stored photo a rendered clip, as a built storyboard would leave them.
    static void giveClips()
    {
        ASSERT_EQ(startToolSession(), 0);
        for (auto* entry = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); entry;
             entry = static_cast<PhotoEntry*>(ListNext(entry)))
            entry->clip = nslCopyAVRecord(entry->source, 0);
        endToolSession();
    }

    // The scene bin name of the photo an AV record shows.
    static std::string nameOf(AVRecord record)
    {
        const uint32_t item = hxhost::itemOfRecord(record);
        for (const hxhost::SceneBinItem& binItem : hxhost::sceneBinItems())
            if (binItem.id == item)
                return std::string(binItem.name.begin(), binItem.name.end());
        return "?";
    }

    // A photo of the scene bin and an entry owning a copy of its record, as an import makes one.
    static PhotoEntry* newEntry(uint32_t id)
    {
        const uint32_t record = hxhost::addSceneBinItem(hxhost::ItemKind::Still, u"photo", "photo.jpg");
        auto* entry = static_cast<PhotoEntry*>(std::calloc(1, sizeof(PhotoEntry)));
        entry->id = id;
        entry->source = nslCopyAVRecord(record, 0);
        entry->brightness = entry->contrast = entry->saturation = 100;
        entry->included = 1;
        entry->duration = 125;
        return entry;
    }
};

#endif
