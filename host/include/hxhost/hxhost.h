// The reference host's own API: set-up, the user, fault injection, call counters, the captured
// log and inspection. Used by the host program and the tests; never seen by the plug-ins.
#ifndef HXHOST_HXHOST_H
#define HXHOST_HXHOST_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#define HXHOST_API __attribute__((visibility("default")))

struct OpImage;
struct HxOperator;

namespace hxhost {

enum class Standard { Pal, Hd1080 };

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
HXHOST_API void setStandard(Standard standard);
HXHOST_API Standard standard();
// Without timing, cmOpen answers null. A rate override replaces the standard's frame rate.
HXHOST_API void setTimingAvailable(bool available);
HXHOST_API void setFrameRateOverride(int64_t framesPerSecond); // negative: none
HXHOST_API void setServiceVersion(Service service, Version version);
HXHOST_API Version currentVersion(Service service);
HXHOST_API void setFirstFieldStatus(int32_t status);
HXHOST_API void setHardwareStatus(uint8_t status);
// Host functions that vxsSymFind may be told to deny (as an older host would).
HXHOST_API void setSymbolAvailable(const std::string& name, bool available);

// Screens of the host's command parser.
struct Screen {
    uint32_t screen = 0;
    uint32_t mode = 0;
};
HXHOST_API Screen currentScreen();
HXHOST_API std::vector<Screen> screenHistory(); // every screen made current, in order

// ---- The user ----
// A notice or question the host showed, with the answer it got.
struct TextRequestSeen {
    std::u16string title;
    std::u16string text;
    uint32_t style = 0;
    uint32_t answer = 0;
};

// A progress meter the host showed: what it said and every step reported to it.
struct MeterSeen {
    std::u16string title;
    uint32_t steps = 0;
    uint32_t style = 0;
    std::vector<int32_t> updates;
    bool stopped = false; // the user stopped it
    bool closed = false;
};

class HXHOST_API User {
public:
    virtual ~User() = default;
    // Answer to a text request: 1 = yes / OK, 0 = no.
    virtual uint32_t answerTextRequest(const TextRequestSeen& request) = 0;
    // Whether the user lets a progress meter go on after this update.
    virtual bool continueMeter(const MeterSeen& meter) = 0;
};

// Plays a list of answers; when it runs out it takes the default (no).
class HXHOST_API ScriptedUser : public User {
public:
    void addAnswer(uint32_t answer);
    // Stops the next meter opened when it reaches `done` steps.
    void stopMeterAt(int32_t done);
    uint32_t answerTextRequest(const TextRequestSeen& request) override;
    bool continueMeter(const MeterSeen& meter) override;
private:
    std::vector<uint32_t> answers_;
    size_t next_ = 0;
    int32_t stopAt_ = -1;
};

HXHOST_API void setUser(std::shared_ptr<User> user);
HXHOST_API std::shared_ptr<ScriptedUser> scriptedUser(); // the default user after reset()
HXHOST_API std::vector<TextRequestSeen> textRequestsSeen();
HXHOST_API std::vector<MeterSeen> metersSeen();

// ---- Fault injection and call counters ----
// Makes the named service fail on its Nth call from now (1 = the next call); persistent keeps it
// failing from then on.
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
// Also append every entry to "<HXHOME>/log/host.log" (off by default).
HXHOST_API void setLogFileEcho(bool enabled);

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
};
HXHOST_API LiveCounts liveCounts();

// ---- The scene bin of the active project ----
enum class ItemKind { Still, Clip };
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

// ---- Storage paths ----
HXHOST_API std::string photoListPath(const std::string& directory);
HXHOST_API std::string stampPath(const std::string& directory, uint32_t id);

} // namespace hxhost

#endif
