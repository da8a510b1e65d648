// The host's user: everything a person does reaches the program through this interface, as gadget
// events while the program waits on its queue and as answers to the modal requesters. The scripted
// user plays a list of actions and answers; an interactive user will sit behind the same interface.
#ifndef HXHOST_USER_H
#define HXHOST_USER_H

#include "hxhost/gui.h"

#include "hxhost/api.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hxhost {

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
    uint16_t titleWidth = 0; // as the program gave it, 0 when it left it to the host
    uint32_t steps = 0;
    uint32_t style = 0;
    std::vector<int32_t> updates;
    bool stopped = false; // the user stopped it
    bool closed = false;
};

// How a gadget is named: the first field that is set decides. Gadgets are searched in the window
// named by `window` ("main" for the main window, else a requester's title) or, without one, in every
// window from the topmost down, each in the order its gadgets were made.
struct GadgetAddress {
    enum class Role { None, Ok, Cancel };
    uint32_t id = 0;            // the gadget identity
    Role role = Role::None;     // the OK or Cancel gadget the host added to a requester
    uint32_t key = 0;           // the shortcut key set with attribute 57
    int32_t helpString = -1;    // the number of its help text (attribute 82)
    std::u16string text;        // its text, its label or its help text, exactly
    std::optional<GadgetKind> kind;
    int32_t index = 0;          // with kind: the index-th gadget of that kind in the window
    std::u16string window;
};

enum class ActionKind {
    Press,          // a button, image button or click area; a check box toggles
    Choose,         // popup entry `value`
    Slide,          // slider to `value`
    DragSlider,     // slider's knob dragged to `value`, its values posted on the way
    SetCheck,       // check box to `value` (0 or 1); nothing happens when it already is
    Set,            // whatever the gadget is: popup entry `value` (or the entry whose text is `entry`),
                    // slider to `value`, check box to `value`
    Select,         // grid item or list row `value`
    DoubleClick,    // grid item or list row `value`
    Step,           // move the selection of a grid or list by `value` with a cursor key
    DragToPosition, // grid item `value` dropped on position `to` of the same grid
    DragOnto,       // grid item `value` dropped on the gadget `target`
    Key,            // shortcut key `value`
    Close,          // the close gadget of the topmost window, or of the one named by `gadget.window`
    Quit,           // the host asks the program to quit
    Screenshot      // saves the screen, or the window named by `gadget.window`, to `path` as PNG
};

struct UserAction {
    ActionKind kind = ActionKind::Press;
    GadgetAddress gadget;
    int32_t value = 0;
    int32_t to = 0;
    GadgetAddress target;
    std::string path;
    std::u16string entry;
    int32_t line = 0; // the script line it came from, 0 when made in code
};

// The crop requester as the host showed it (rectangle in picture pixels).
struct ImageRequestSeen {
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t pictureWidth = 0, pictureHeight = 0;
    int32_t pictureAspect = 0, screenAspect = 0;
    uint32_t answer = 0;
    // Where the requester shows the picture, screen pixels; 0 wide when it could not be shown.
    int32_t shownX = 0, shownY = 0, shownWidth = 0, shownHeight = 0;
};

struct CropAnswer {
    bool accept = false;
    bool keepShown = false; // accept the rectangle as it was shown
    int32_t x = 0, y = 0, width = 0, height = 0;
};

struct SceneOffered {
    uint32_t id = 0;
    std::u16string name;
};

struct FileAnswer {
    std::string path;
    std::u16string displayName; // empty: the file's name without its folder and extension
    int32_t orientation = 0;
};

class HXHOST_API User {
public:
    virtual ~User() = default;
    // Answer to a text request: 1 = yes / OK, 0 = no.
    virtual uint32_t answerTextRequest(const TextRequestSeen& request) = 0;
    // Whether the user lets a progress meter go on after this update.
    virtual bool continueMeter(const MeterSeen& meter) = 0;
    // What the user does next while the program waits on an empty queue; none: the user is done,
    // and the host closes the main window.
    virtual std::optional<UserAction> nextAction() { return std::nullopt; }
    // The host could not carry out an action (no such gadget, a position out of range ...).
    virtual void actionFailed(const UserAction&, const std::string&) {}
    virtual CropAnswer answerImageRequest(const ImageRequestSeen&) { return {}; }
    // Scene bin items chosen, in the order chosen.
    virtual std::vector<uint32_t> pickScenes(const std::vector<SceneOffered>&) { return {}; }
    // Operator names ("crossfade", without "transition/") chosen among those offered.
    virtual std::vector<std::string> pickOperators(const std::vector<std::string>&, const std::string&) { return {}; }
    // The file chosen in the file requester of `kind`; none: cancelled.
    virtual std::optional<FileAnswer> pickFile(int32_t) { return std::nullopt; }
};

// Plays actions in order and keeps the answers of each kind of requester in their own queue: a
// requester takes the next answer of its kind, or its default (no, cancel, nothing) when none is left.
class HXHOST_API ScriptedUser : public User {
public:
    struct ScenePick {
        bool all = false;
        std::vector<uint32_t> ids;
        std::vector<std::u16string> names;
    };

    // An answer or crop with a screenshot path saves the screen, with the requester on it, before answering.
    void addAnswer(uint32_t answer, std::string screenshot = {});
    // Stops the next meter that reaches `done` steps.
    void stopMeterAt(int32_t done);
    void addAction(UserAction action);
    void addCrop(CropAnswer answer, std::string screenshot = {});
    void addScenes(ScenePick pick);
    void addOperators(std::vector<std::string> names);
    void addFile(std::optional<FileAnswer> answer);
    // Every action or answer that could not be carried out, with the reason and its script line.
    const std::vector<std::string>& failures() const { return failures_; }
    size_t actionsLeft() const { return actions_.size() - nextAction_; }

    uint32_t answerTextRequest(const TextRequestSeen& request) override;
    bool continueMeter(const MeterSeen& meter) override;
    std::optional<UserAction> nextAction() override;
    void actionFailed(const UserAction& action, const std::string& why) override;
    CropAnswer answerImageRequest(const ImageRequestSeen& request) override;
    std::vector<uint32_t> pickScenes(const std::vector<SceneOffered>& offered) override;
    std::vector<std::string> pickOperators(const std::vector<std::string>& offered, const std::string& lastPath) override;
    std::optional<FileAnswer> pickFile(int32_t kind) override;

private:
    // Saves the screen to `path` (none when empty); a failure is one of failures().
    void screenshotBeforeAnswer(const std::string& path);

    std::vector<uint32_t> answers_;
    std::vector<std::string> answerShots_;
    size_t next_ = 0;
    int32_t stopAt_ = -1;
    std::vector<UserAction> actions_;
    size_t nextAction_ = 0;
    std::vector<CropAnswer> crops_;
    std::vector<std::string> cropShots_;
    size_t nextCrop_ = 0;
    std::vector<ScenePick> scenes_;
    size_t nextScenes_ = 0;
    std::vector<std::vector<std::string>> operators_;
    size_t nextOperators_ = 0;
    std::vector<std::optional<FileAnswer>> files_;
    size_t nextFile_ = 0;
    std::vector<std::string> failures_;
};

HXHOST_API void setUser(std::shared_ptr<User> user);
HXHOST_API std::shared_ptr<ScriptedUser> scriptedUser(); // the default user after reset()
HXHOST_API std::vector<TextRequestSeen> textRequestsSeen();
HXHOST_API std::vector<MeterSeen> metersSeen();
HXHOST_API std::vector<ImageRequestSeen> imageRequestsSeen();

} // namespace hxhost

#endif
