// The reference host's own API: set-up, the user, fault injection, call counters, the captured
// log and inspection. Used by the host program and the tests; never seen by the plug-ins.
#ifndef HXHOST_HXHOST_H
#define HXHOST_HXHOST_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hxhost/api.h"
#include "hxhost/faults.h"
#include "hxhost/gui.h"
#include "hxhost/user.h"
#include "hxhost/video_format.h"

struct OpImage;
struct HxOperator;

namespace hxhost {

// The three services whose versions a plug-in checks before it starts.
enum class Service { SceneList, ImageOps, Requesters };

struct Version {
    int32_t major = 0;
    int32_t minor = 0;
};

// Back to the state of a freshly started host: HXHOME unset, project 0, PAL with timing, current
// service versions, empty log, no faults, zero counters, the default scripted user, empty scene bin.
HXHOST_API void reset();

// The installation root; also exported to the process environment as HXHOME.
HXHOST_API void setHome(const std::string& directory);
HXHOST_API void unsetHome();
HXHOST_API std::string home();
// Lays out an installation under `directory` (operator files, pan presets) and makes it HXHOME.
HXHOST_API bool installHome(const std::string& directory, std::string* error = nullptr);
// Where the program catalogues ("<root>/<program>/strings.txt") are loaded from.
HXHOST_API void setResourceRoot(const std::string& directory);

HXHOST_API void setProjectNumber(int32_t number);
// The video format: hxhost/video_format.h. Without timing, cmOpen answers null. A rate override
// replaces the format's frame rate.
HXHOST_API void setTimingAvailable(bool available);
HXHOST_API void setFrameRateOverride(int64_t framesPerSecond); // negative: none
HXHOST_API void setServiceVersion(Service service, Version version);
HXHOST_API Version currentVersion(Service service);
HXHOST_API void setFirstFieldStatus(int32_t status);
// Host functions that vxsSymFind may be told to deny (as an older host would).
HXHOST_API void setSymbolAvailable(const std::string& name, bool available);

// Screens of the host's command parser.
struct Screen {
    uint32_t screen = 0;
    uint32_t mode = 0;
};
HXHOST_API Screen currentScreen();
HXHOST_API std::vector<Screen> screenHistory(); // every screen made current, in order

// ---- The user: hxhost/user.h; the screen and its windows: hxhost/gui.h ----

// ---- Fault injection and call counters ----
// Makes the named service fail on its Nth call from now (1 = the next call); persistent keeps it
// failing from then on. Names: hxhost/faults.h.
HXHOST_API void failService(const std::string& name, uint32_t nth = 1, bool persistent = false);
// Fault sweep: the Nth fallible call of any service from now fails, once.
HXHOST_API void failNthFallibleCall(uint32_t nth);
HXHOST_API void clearFaults();
HXHOST_API uint32_t callCount(const std::string& name);
HXHOST_API uint32_t totalCallCount();       // calls of every service since reset()
HXHOST_API uint32_t fallibleCallCount();  // fallible calls since reset()
HXHOST_API uint32_t faultsFired();         // injected failures since reset()

// ---- The captured log ----
struct LogEntry {
    int level = 0;
    int line = 0;
    std::string source;
    uint32_t module = 0;
    std::string text;
};
HXHOST_API std::vector<LogEntry> logEntries();
HXHOST_API void clearLog();

// ---- What the host tells the person ----
// A stored file of the project that was damaged and set aside, and what was kept of it: one line each.
using WarningSink = std::function<void(const std::string&)>;
// The program shows them (stillset-host on standard error); without a sink they are only kept.
HXHOST_API void setWarningSink(WarningSink sink);
// Every warning since reset().
HXHOST_API std::vector<std::string> warningsGiven();

// ---- Live host objects handed out ----
struct LiveCounts {
    int64_t images = 0;
    int64_t avRecords = 0;   // copies handed out, not the scene bin's own records
    int64_t queues = 0;
    int64_t catalogues = 0;
    int64_t windows = 0;
    int64_t scenes = 0;
    int64_t operators = 0;
    int64_t meters = 0;
    int64_t guiImages = 0;          // ugAllocImage
    int64_t gadgetExtensions = 0;   // ugAllocGadExt
    int64_t fileRequests = 0;       // txAllocRequest
    int64_t operatorPanels = 0;     // mainBuildOpGui

    bool operator==(const LiveCounts&) const = default;
    bool empty() const { return *this == LiveCounts{}; }
};
HXHOST_API LiveCounts liveCounts();

// ---- The scene bin of the active project ----
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
// Stills with more decoded pixels are decoded at 1/2, 1/4 or 1/8 size (JPEG) or refused.
constexpr size_t kDefaultStillPixelLimit = 50000000;
HXHOST_API void setStillPixelLimit(size_t pixels);
// Whether opScaleImageSP may read a window scaled far down from a halved copy of its source (on by default).
HXHOST_API void setReducedCopies(bool enabled);
// The widest vector instructions the pixel loops may use. Every width gives the same pixels; by
// default the loops take the widest the processor has, and a lower limit runs the narrower ones.
// A reset lifts the limit.
enum class VectorWidth { Basic, Avx2, Avx512 };
HXHOST_API void limitVectorWidth(VectorWidth widest);
// How many threads the larger pixel loops (scaling, weaving) split a picture's rows between, the
// calling thread included; 1, the default, keeps them on the calling thread. Every count gives the
// same pixels. A reset sets it back to 1.
HXHOST_API void setPixelThreads(int32_t threads);

// ---- Running an effect operator over a scene ----
// Serves the operator's opGetField calls: a new image the operator then owns, or null.
using FieldSource = std::function<OpImage*(uint32_t flags, uint32_t index)>;
// Receives each finished field at its position and owns it from then on; false refuses it.
using FieldSink = std::function<bool(OpImage* field, uint32_t position)>;
// Drives one instance of `op` as the host plays an effect of `length`: start, a render for each
// position 0..length with `flags`, release. Position P asks for the P-th field in time: the host
// sets the odd-field flag by the field order. False with a reason when the operator fails.
HXHOST_API bool runEffect(HxOperator* op, uint32_t length, uint8_t flags, const FieldSource& source,
                          const FieldSink& sink, std::string* error = nullptr);

// ---- Pictures for people ----
// Saves a format-1 picture as an RGB PNG at its display aspect (non-square pixels widened),
// with the current standard's colours; the file is replaced atomically.
HXHOST_API bool writeImagePng(const OpImage* image, const std::string& path, std::string* error = nullptr);

// ---- Texts ----
// A 16-bit text of the host as UTF-8, for printing.
HXHOST_API std::string utf8Of(const std::u16string& text);

// ---- Storage paths ----
HXHOST_API std::string photoListPath(const std::string& directory);
HXHOST_API std::string stampPath(const std::string& directory, uint32_t id);

} // namespace hxhost

#endif
