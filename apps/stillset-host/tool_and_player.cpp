#include "tool_and_player.h"

#include "interrupt.h"

#include "hxhost/storyboard.h"

#include <vector>

namespace {

// Scenes get new ids when the tool builds them: a changed list is a show just created.
std::vector<uint32_t> sceneIds()
{
    std::vector<uint32_t> ids;
    for (const hxhost::StoryboardScene& scene : hxhost::storyboard().scenes)
        ids.push_back(scene.id);
    return ids;
}

} // namespace

bool editAndPlay(Plugin& plugin, const std::string& pluginPath, uint32_t flags, const hxhost::WindowOptions& window,
                 const std::optional<hxhost::ExportSettings>& write, WindowWork& work, std::string& error)
{
    for (;;) {
        const std::vector<uint32_t> before = sceneIds();
        work.played.reset();
        if (!runTool(plugin, pluginPath, flags, work.run, error, &window))
            return false;
        const std::vector<uint32_t> after = sceneIds();
        if (interrupted() || work.run.result != 0 || after.empty() || after == before)
            return true;
        hxhost::PlayOptions play;
        play.window = window;
        play.offerTool = true;
        play.write = write;
        if (write) {
            play.sound = write->sound;
            play.write->stop = [] { return interrupted(); };
        }
        // A signal ends the player as its close box does; one while writing stops the export.
        StopOnInterrupt closeOnInterrupt(hxhost::requestWindowClose);
        hxhost::PlayResult result;
        if (!hxhost::playStoryboard(play, result, &error))
            return false;
        work.played = result;
        if (result.choice != hxhost::PlayResult::Choice::BackToTool)
            return true;
    }
}
