#include "export_show.h"

#include "commands.h"
#include "interrupt.h"
#include "progress_bar.h"
#include "unfinished_build.h"

#include "hxhost/storyboard.h"


int exportShow(const std::string& command, hxhost::ExportSettings settings)
{
    if (const std::string note = unfinishedBuildNote(hxhost::storyboard()); !note.empty())
        tell(command, note);
    StopOnInterrupt stopCleanly;
    ProgressBar bar("exporting", "frames");
    settings.progress = [&](int64_t done, int64_t total) { bar.show(done, total); };
    settings.stop = [] { return interrupted(); };
    std::string error;
    const bool written = hxhost::exportStoryboard(settings, &error);
    bar.finish();
    if (!written)
        return runFailure(command, interrupted() ? "interrupted; nothing was written" : error);
    return 0;
}

