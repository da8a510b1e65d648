// The modal requesters the person at the desktop window answers with the pointer as well as by
// typing: the scene and operator pickers' boxes, the file requester's list, the crop rectangle.
#include "user/interactive_user.h"

#include "gui/gadget_look.h"
#include "gui/hit_test.h"
#include "gui/screen.h"
#include "text/utf.h"
#include "user/typed_answers.h"

#include <sys/stat.h>

#include <algorithm>

namespace hx {

namespace {

// A folder as the file prompt shows it, ready for a name to be typed after it.
std::u16string folderText(const std::string& folder)
{
    return hx::utf8To16(folder == "/" ? folder : folder + "/");
}

std::u16string rectangleText(const hx::CropRectangle& r)
{
    return hx::utf8To16(std::to_string(r.x) + " " + std::to_string(r.y) + " " + std::to_string(r.width) + " " +
                        std::to_string(r.height));
}

} // namespace

hxhost::CropAnswer InteractiveUser::answerImageRequest(const hxhost::ImageRequestSeen& request)
{
    const hx::CropRectangle shown{request.x, request.y, request.width, request.height};
    Prompt prompt;
    prompt.text = u"Drag the rectangle or its corners, or type x y width height in the picture of " +
                  hx::utf8To16(std::to_string(request.pictureWidth) + "x" + std::to_string(request.pictureHeight)) + u":";
    prompt.typed = rectangleText(shown);
    prompt.buttons = {u"OK", u"Cancel"};
    if (hx::StandingCrop* crop = hx::standingCrop()) {
        auto gesture = std::make_shared<hx::CropGesture>(
            hx::CropPicture{crop->pictureOnScreen(), crop->pictureWidth(), crop->pictureHeight(), crop->minimumWidth(),
                            crop->minimumHeight(), std::max(6, hx::convertWidth(10))});
        prompt.pointer = [this, crop, gesture, &prompt](const SDL_Event& event) {
            return dragCrop(event, *crop, *gesture, prompt);
        };
    }
    for (;;) {
        if (ask(prompt) != 0)
            return {};
        const std::u16string typed = *prompt.typed;
        if (typed == rectangleText(shown))
            return {true, true};
        if (const auto values = hx::parseRectangle(hx::utf16To8(typed)))
            return {true, false, (*values)[0], (*values)[1], (*values)[2], (*values)[3]};
        message_ = u"Four whole numbers, please: x y width height";
    }
}

std::vector<uint32_t> InteractiveUser::pickScenes(const std::vector<hxhost::SceneOffered>& offered)
{
    std::vector<std::string> names;
    std::u16string listed;
    for (size_t i = 0; i < offered.size(); ++i) {
        names.push_back(hx::utf16To8(offered[i].name));
        listed += (i ? u", " : u"") + hx::utf8To16(std::to_string(i + 1) + " ") + offered[i].name;
    }
    std::vector<uint32_t> ids;
    for (size_t position : choose(u"Tick the scenes, or type numbers, names or * (" + listed + u"):", names))
        ids.push_back(offered[position].id);
    return ids;
}

std::vector<std::string> InteractiveUser::pickOperators(const std::vector<std::string>& offered, const std::string&)
{
    std::u16string listed;
    for (size_t i = 0; i < offered.size(); ++i)
        listed += (i ? u", " : u"") + hx::utf8To16(std::to_string(i + 1) + " " + offered[i]);
    std::vector<std::string> chosen;
    for (size_t position : choose(u"Tick the transitions, or type numbers, names or * (" + listed + u"):", offered))
        chosen.push_back(offered[position]);
    return chosen;
}

std::optional<hxhost::FileAnswer> InteractiveUser::pickFile(int32_t)
{
    hx::FileWindow* files = hx::standingFileWindow();
    Prompt prompt{u"Double-click a folder or a file, or type a path (Tab completes):", {u"Open", u"Cancel"},
                  files ? folderText(files->folder()) : u"", true, nullptr, std::nullopt};
    if (files)
        prompt.pointer = [this, files, &prompt](const SDL_Event& event) { return browse(event, *files, prompt); };
    for (;;) {
        if (ask(prompt) != 0)
            return std::nullopt;
        const std::string path = hx::utf16To8(*prompt.typed);
        struct stat info{};
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            return hxhost::FileAnswer{path, {}, 0};
        if (files && S_ISDIR(info.st_mode) && files->showFolder(path)) {
            *prompt.typed = folderText(files->folder());
            continue;
        }
        message_ = u"No such file: " + *prompt.typed;
    }
}

// The positions chosen among `offered`: the boxes ticked in the picker on top, or a typed list
// when the person typed one; none when cancelled.
std::vector<size_t> InteractiveUser::choose(const std::u16string& question, const std::vector<std::string>& offered)
{
    UgWindow* picker = topmostWindow();
    Prompt prompt{question, {u"OK", u"Cancel"}, std::u16string{}, false, nullptr, std::nullopt};
    prompt.pointer = [this, picker](const SDL_Event& event) { return tick(event, picker); };
    for (;;) {
        if (ask(prompt) != 0)
            return {};
        if (prompt.typed->empty())
            return ticked(picker, offered);
        std::string unknown;
        if (const auto chosen = hx::parseChoices(hx::utf16To8(*prompt.typed), offered, unknown))
            return *chosen;
        message_ = u"Not offered: " + hx::utf8To16(unknown);
    }
}

// A click on a check box of the picker toggles it.
bool InteractiveUser::tick(const SDL_Event& event, UgWindow* picker)
{
    int32_t x = -1, y = -1;
    if (event.type != SDL_MOUSEBUTTONDOWN || event.button.button != SDL_BUTTON_LEFT ||
        !framePoint(event.button.x, event.button.y, x, y) || !onScreen(x, y))
        return false;
    const hx::Hit hit = hx::hitAt(x, y);
    if (!hit.gadget || hit.window != picker || hit.gadget->kind != GadgetKind::CheckBox)
        return false;
    hit.gadget->state = hit.gadget->state ? 0 : 1;
    hx::paintGadget(picker, *hit.gadget);
    return true;
}

// The offered names whose boxes are ticked, in the order offered.
std::vector<size_t> InteractiveUser::ticked(UgWindow* picker, const std::vector<std::string>& offered)
{
    std::vector<size_t> chosen;
    if (!hx::isLiveWindow(picker))
        return chosen;
    for (const auto& gadget : picker->gadgets)
        if (gadget->kind == GadgetKind::CheckBox && gadget->state)
            for (size_t i = 0; i < offered.size(); ++i)
                if (hx::utf8To16(offered[i]) == gadget->text) {
                    chosen.push_back(i);
                    break;
                }
    return chosen;
}

// The pointer in the file requester's list: a click puts the row's path in the prompt, a double
// click opens a folder or answers with a file, the wheel scrolls.
bool InteractiveUser::browse(const SDL_Event& event, hx::FileWindow& files, Prompt& prompt)
{
    int32_t x = -1, y = -1;
    if (event.type == SDL_MOUSEWHEEL) {
        int32_t windowX = 0, windowY = 0;
        window_->pointer(windowX, windowY);
        if (!framePoint(windowX, windowY, x, y) || !onScreen(x, y))
            return false;
        const hx::Hit hit = hx::hitAt(x, y);
        if (!hit.gadget || hit.gadget->id != files.list())
            return false;
        const int32_t notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        hx::scrollRows(files.window(), *hit.gadget, -3 * notches);
        return true;
    }
    if (event.type != SDL_MOUSEBUTTONDOWN || event.button.button != SDL_BUTTON_LEFT ||
        !framePoint(event.button.x, event.button.y, x, y) || !onScreen(x, y))
        return false;
    const hx::Hit hit = hx::hitAt(x, y);
    if (!hit.gadget || hit.gadget->id != files.list() || hit.item < 0)
        return false;
    const std::string path = files.pathOfRow(hit.item);
    if (event.button.clicks >= 2 && !path.empty() && path.back() == '/') {
        files.showFolder(path);
        *prompt.typed = folderText(files.folder());
        return true;
    }
    hit.gadget->selected = hit.item;
    hx::paintGadget(files.window(), *hit.gadget);
    *prompt.typed = hx::utf8To16(path);
    if (event.button.clicks >= 2)
        prompt.answered = 0;
    return true;
}

// The pointer drawing the crop requester's rectangle; the typed numbers follow it.
bool InteractiveUser::dragCrop(const SDL_Event& event, hx::StandingCrop& crop, hx::CropGesture& gesture, Prompt& prompt)
{
    int32_t x = -1, y = -1;
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN: {
        if (event.button.button != SDL_BUTTON_LEFT || !framePoint(event.button.x, event.button.y, x, y) || !onScreen(x, y))
            return false;
        const std::optional<std::vector<int32_t>> typed = hx::parseRectangle(hx::utf16To8(*prompt.typed));
        const hx::CropRectangle current = typed ? hx::CropRectangle{(*typed)[0], (*typed)[1], (*typed)[2], (*typed)[3]}
                                                : hx::CropRectangle{};
        return gesture.press(x, y, current);
    }
    case SDL_MOUSEMOTION: {
        if (!gesture.held())
            return false;
        framePoint(event.motion.x, event.motion.y, x, y);
        const hx::CropRectangle drawn = gesture.move(x, y);
        crop.show(drawn);
        *prompt.typed = rectangleText(drawn);
        return true;
    }
    case SDL_MOUSEBUTTONUP:
        if (!gesture.held())
            return false;
        gesture.release();
        return true;
    default:
        return false;
    }
}

} // namespace hx
