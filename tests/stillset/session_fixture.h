// Tests of the slideshow plug-in against a fresh host and installation.
#ifndef TESTS_STILLSET_SESSION_FIXTURE_H
#define TESTS_STILLSET_SESSION_FIXTURE_H

#include "support/test_home.h"

#include "stillset/exports.h"
#include "stillset/session.h"

#include <cstring>
#include <string>

class PluginTest : public HostTest {
protected:
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
        const hxhost::LiveCounts live = hxhost::liveCounts();
        EXPECT_EQ(live.images, 0);
        EXPECT_EQ(live.avRecords, 0);
        EXPECT_EQ(live.queues, 0);
        EXPECT_EQ(live.catalogues, 0);
        EXPECT_EQ(live.windows, 0);
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
