// The scene bin of the active project: its items, storing and opening the project, taking it for
// this process, and pictures and clips brought into it.
#ifndef HXHOST_SCENE_BIN_H
#define HXHOST_SCENE_BIN_H

#include "hxhost/api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hxhost {

// PhotoClip: a clip rendered from a photo entry of the slideshow tool (hxhost/storyboard.h).
enum class ItemKind { Still, Clip, PhotoClip };
struct SceneBinItem {
    uint32_t id = 0;
    ItemKind kind = ItemKind::Still;
    std::u16string name;
    std::string media;         // file the item's pictures come from, relative to the project
    int32_t referenceFrame = -1;
    uint32_t record = 0;       // the bin's own AV record of the item
};
// Adds an item to the bin and returns its own record.
HXHOST_API uint32_t addSceneBinItem(ItemKind kind, const std::u16string& name, const std::string& media,
                                    int32_t referenceFrame = -1);
HXHOST_API std::vector<SceneBinItem> sceneBinItems();
// The bin item an AV record refers to (0 for none).
HXHOST_API uint32_t itemOfRecord(uint32_t record);
// Stores the project (scene bin) under HXHOME, atomically; opens it again.
HXHOST_API bool saveProject(std::string* error = nullptr);
HXHOST_API bool openProject(std::string* error = nullptr);
// Takes the active project for this process alone until reset() or the process ends (an operating-
// system lock, let go however the process ends). False, touching nothing, when another process
// holds it: "project N of DIR is in use by process P". A reader that only reads need not take it.
HXHOST_API bool lockProject(std::string* error = nullptr);

// ---- Pictures and clips in the scene bin ----
// Each call copies the file into the active project ("media/<file name>", numbered when taken), so
// the project keeps working when the original moves; the item is named after the file. On failure
// nothing is added and the answer is 0 with the reason in *error; otherwise the item's own record.
// A still (JPEG, PNG, HEIF, WebP or TIFF, known by its content) is decoded first, turned as its
// orientation says, brought from its embedded colour profile to sRGB, and kept decoded.
// Many at once: hxhost/still_import.h.
// hxhost::callCount("decodeStill") counts its decodes.
HXHOST_API uint32_t importStill(const std::string& path, std::string* error = nullptr);
// A YUV4MPEG2 clip; a reference frame (-1 for none) makes the clip answer as a photo grabbed from video.
HXHOST_API uint32_t importClip(const std::string& path, int32_t referenceFrame = -1, std::string* error = nullptr);
// ColourBars: seven 75 % bars. FieldCounter: every pixel of field n (frame n / 2, rows of parity
// n % 2) has luma 16 + n % 220 and chroma 128.
enum class TestPattern { ColourBars, FieldCounter };
HXHOST_API uint32_t addTestClip(int32_t width, int32_t height, int32_t frames, TestPattern pattern,
                                int32_t referenceFrame = -1, std::string* error = nullptr);
// Drops the decoded stills the host keeps, so that the next nslGetStillset decodes its file again.
HXHOST_API void forgetDecodedStills();

} // namespace hxhost

#endif
