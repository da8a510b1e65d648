// The host program's desktop window on a real X server: real pointer and key events (xdotool), the X
// screen compared with the toolkit's own picture, and what the session stored after the window closed.
#include "stillset/session_fixture.h"
#include "stillset/operator_list_node.h"
#include "support/audio_files.h"
#include "window/x_screen.h"

#include "hxhost/window.h"
#include "host/hxreq.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

using namespace std::chrono_literals;

const std::string kHost = std::string(STILLSET_BIN_DIR) + "/stillset-host";

// The host's user that looks once at what the tool shows when it first waits, then leaves.
class Onlooker : public hxhost::ScriptedUser {
public:
    std::optional<hxhost::UserAction> nextAction() override
    {
        if (screen.pixels.empty()) {
            windows = hxhost::windows();
            screen = hxhost::screenPicture();
            for (const hxhost::WindowView& window : windows)
                for (const hxhost::GadgetView& gadget : window.gadgets)
                    if (gadget.kind == hxhost::GadgetKind::GridView)
                        for (int32_t item = 0; item < static_cast<int32_t>(gadget.items.size()); ++item) {
                            hxhost::ViewRect cell;
                            if (hxhost::itemOnScreen(gadget.id, item, cell))
                                cells.push_back(cell);
                        }
        }
        return std::nullopt;
    }
    std::vector<hxhost::WindowView> windows;
    hxhost::Picture screen;
    std::vector<hxhost::ViewRect> cells; // the photo grid's cells, screen pixels
};

// Rehearses a person's steps in the test's own process, to learn where the requesters put their
// gadgets: the windows before each action, and the operator picker as it stood.
class Rehearsal : public hxhost::ScriptedUser {
public:
    std::optional<hxhost::UserAction> nextAction() override
    {
        before.push_back(hxhost::windows());
        return ScriptedUser::nextAction();
    }
    std::vector<std::string> pickOperators(const std::vector<std::string>&, const std::string&) override
    {
        picker = hxhost::windows();
        pickerScreen = hxhost::screenPicture();
        return {};
    }
    hxhost::CropAnswer answerImageRequest(const hxhost::ImageRequestSeen& request) override
    {
        crop = request;
        cropWindows = hxhost::windows();
        return {};
    }
    // Where the file requester shows `fileWanted`.
    std::optional<hxhost::FileAnswer> pickFile(int32_t) override
    {
        fileWindows = hxhost::windows();
        for (const hxhost::GadgetView& gadget : fileWindows.back().gadgets)
            for (size_t row = 0; row < gadget.items.size(); ++row)
                if (gadget.kind == hxhost::GadgetKind::ListView && gadget.items[row].text == fileWanted)
                    fileShown = hxhost::itemOnScreen(gadget.id, static_cast<int32_t>(row), fileRow);
        return std::nullopt;
    }
    std::vector<std::vector<hxhost::WindowView>> before;
    std::vector<hxhost::WindowView> picker;
    hxhost::Picture pickerScreen;
    hxhost::ImageRequestSeen crop;
    std::vector<hxhost::WindowView> cropWindows;
    std::u16string fileWanted;
    std::vector<hxhost::WindowView> fileWindows;
    bool fileShown = false;
    hxhost::ViewRect fileRow;
};

const hxhost::GadgetView* gadgetCalled(const hxhost::WindowView& window, const std::u16string& text)
{
    for (const hxhost::GadgetView& gadget : window.gadgets)
        if (gadget.text == text)
            return &gadget;
    return nullptr;
}

const hxhost::GadgetView* gadgetNumbered(const hxhost::WindowView& window, uint32_t id)
{
    for (const hxhost::GadgetView& gadget : window.gadgets)
        if (gadget.id == id)
            return &gadget;
    return nullptr;
}

// The middle of a gadget on the host screen.
std::pair<int, int> middleOf(const hxhost::WindowView& window, const hxhost::GadgetView& gadget)
{
    return {window.contentX + gadget.x + gadget.width / 2, window.contentY + gadget.y + gadget.height / 2};
}

hxhost::ViewRect areaOf(const hxhost::WindowView& window, const hxhost::GadgetView& gadget)
{
    return {window.contentX + gadget.x, window.contentY + gadget.y, gadget.width, gadget.height};
}

// Pixels that differ by more than a rounding step between two pictures of one size.
int differences(const hxhost::Picture& a, const hxhost::Picture& b)
{
    if (a.width != b.width || a.height != b.height)
        return -1;
    int count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift = 0; shift <= 16; shift += 8)
            if (std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) - static_cast<int>((b.pixels[i] >> shift) & 0xFF)) > 2) {
                ++count;
                break;
            }
    return count;
}

hxhost::Picture crop(const hxhost::Picture& picture, const hxhost::ViewRect& r)
{
    hxhost::Picture out{r.width, r.height, {}};
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            out.pixels.push_back(picture.at(x, y));
    return out;
}

class WindowSessionTest : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under tests/window/run_under_xvfb.sh";
        hxhost::setProjectNumber(0);
        std::string error;
        ASSERT_TRUE(hxhost::openProject(&error)) << error;
        addPhotos(6);
        ASSERT_TRUE(hxhost::saveProject(&error)) << error;
    }

    void TearDown() override
    {
        if (program_ > 0) {
            kill(program_, SIGKILL);
            waitpid(program_, nullptr, 0);
        }
        PluginTest::TearDown();
    }

    // A session without a window that imports the scene bin and looks at the tool as it opens.
    void importAndLook()
    {
        auto onlooker = std::make_shared<Onlooker>();
        onlooker->addAnswer(1);
        hxhost::setUser(onlooker);
        ASSERT_EQ(runTool(), 0);
        hxhost::setUser(hxhost::scriptedUser());
        look_ = *onlooker;
        ASSERT_EQ(look_.cells.size(), 6u);
    }

    // Plays a session script in the test's own process with a rehearsal as the user.
    std::shared_ptr<Rehearsal> rehearse(const std::string& script, std::u16string fileWanted = {})
    {
        auto rehearsal = std::make_shared<Rehearsal>();
        rehearsal->fileWanted = std::move(fileWanted);
        std::string error;
        EXPECT_TRUE(hxhost::parseSessionScript(script, "rehearsal", *rehearsal, &error)) << error;
        hxhost::setUser(rehearsal);
        EXPECT_EQ(runTool(), 0);
        hxhost::setUser(hxhost::scriptedUser());
        EXPECT_EQ(rehearsal->failures(), std::vector<std::string>{});
        return rehearsal;
    }

    // Starts the host program with its window and finds the window on the X screen.
    void openWindow(const std::vector<std::string>& extra = {})
    {
        std::vector<std::string> arguments{kHost, "session", "--hxhome", home(), "--project", "0", "--window"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        const std::string log = home() + "/session.log";
        posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        posix_spawn_file_actions_addchdir_np(&files, home().c_str()); // where the file requester opens
        ASSERT_EQ(posix_spawn(&program_, argv[0], &files, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&files);
        findWindow();
        waitUntilStill();
    }

    // Finds the window on the X screen and gives it the keyboard.
    void findWindow()
    {
        const std::string found = shell("timeout 60 xdotool search --sync --onlyvisible --name '^stillset$' | head -n 1");
        ASSERT_FALSE(found.empty()) << "no window appeared: " << (program_ > 0 ? readFile(home() + "/session.log") : "");
        window_ = std::stoul(found);
        const std::string geometry = shell("xdotool getwindowgeometry --shell " + std::to_string(window_));
        ASSERT_EQ(std::sscanf(geometry.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &x_, &y_, &width_, &height_), 4)
            << geometry;
        frameWidth_ = 1920;
        frameHeight_ = 1080 + hxhost::windowStatusLineHeight();
        view_ = hxhost::fitPicture(frameWidth_, frameHeight_, width_, height_);
        // The keyboard goes to the window, as a window manager gives it the focus; the pointer leaves
        // it, so nothing is marked under the pointer.
        xdo("windowfocus --sync " + std::to_string(window_) + " mousemove 0 0");
    }

    // A point of the host screen on the X screen.
    std::pair<int, int> onX(int hostX, int hostY) const
    {
        int32_t ax = 0, ay = 0;
        hxhost::pictureToArea(view_, frameWidth_, frameHeight_, hostX, hostY, ax, ay);
        return {x_ + ax, y_ + ay};
    }
    std::string at(int hostX, int hostY) const
    {
        const auto [x, y] = onX(hostX, hostY);
        return std::to_string(x) + " " + std::to_string(y);
    }
    static std::pair<int, int> middle(const hxhost::ViewRect& r) { return {r.x + r.width / 2, r.y + r.height / 2}; }

    static void xdo(const std::string& commands)
    {
        ASSERT_EQ(std::system(("xdotool " + commands).c_str()), 0) << commands;
        std::this_thread::sleep_for(300ms);
    }

    // Drags from one host point to another in steps, as a hand does.
    void drag(std::pair<int, int> from, std::pair<int, int> to)
    {
        std::string steps = "mousemove " + at(from.first, from.second) + " mousedown 1";
        for (int i = 1; i <= 4; ++i)
            steps += " sleep 0.1 mousemove " + at(from.first + (to.first - from.first) * i / 4, from.second + (to.second - from.second) * i / 4);
        xdo(steps + " sleep 0.1 mouseup 1");
    }

    // The host screen as the X screen shows it, once it is the picture expected (or the time ran out).
    hxhost::Picture shownScreen(const hxhost::ViewRect& part, const hxhost::Picture* expected = nullptr)
    {
        hxhost::Picture shown;
        const auto [x0, y0] = onX(part.x, part.y);
        for (int tries = 0; tries < 100; ++tries) {
            shown = grabScreen(x0, y0, part.width, part.height);
            if (!expected || differences(shown, *expected) == 0)
                break;
            std::this_thread::sleep_for(200ms);
        }
        return shown;
    }

    // The host screen as the X screen shows it, once it differs from `before` (or the time ran out).
    hxhost::Picture changedScreen(const hxhost::ViewRect& part, const hxhost::Picture& before)
    {
        hxhost::Picture shown;
        for (int tries = 0; tries < 100; ++tries) {
            shown = shownScreen(part);
            if (differences(shown, before) != 0)
                break;
            std::this_thread::sleep_for(200ms);
        }
        return shown;
    }

    // Waits until the window shows the same picture twice in a row: the program waits for the person.
    void waitUntilStill()
    {
        hxhost::Picture before = grabScreen(x_, y_, width_, height_);
        for (int tries = 0; tries < 60; ++tries) {
            std::this_thread::sleep_for(500ms);
            hxhost::Picture now = grabScreen(x_, y_, width_, height_);
            if (differences(now, before) == 0)
                return;
            before = std::move(now);
        }
        ADD_FAILURE() << "the window never came to rest";
    }

    // Closes the window as a window manager does and waits for the program to end; its exit status.
    int closeWindow()
    {
        std::string error;
        EXPECT_TRUE(closeLikeAWindowManager(window_, error)) << error;
        return waitForEnd();
    }

    int waitForEnd()
    {
        for (int tries = 0; tries < 600; ++tries) {
            int status = 0;
            if (waitpid(program_, &status, WNOHANG) == program_) {
                program_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(100ms);
        }
        ADD_FAILURE() << "the program did not end: " << readFile(home() + "/session.log");
        return -1;
    }

    const hxhost::GadgetView* gadgetWithHelp(const std::u16string& help) const
    {
        for (const hxhost::WindowView& window : look_.windows)
            for (const hxhost::GadgetView& gadget : window.gadgets)
                if (gadget.helpText == help)
                    return &gadget;
        return nullptr;
    }
    std::pair<int, int> gadgetMiddle(const hxhost::GadgetView& gadget) const
    {
        const hxhost::WindowView& main = look_.windows.front();
        return {main.contentX + gadget.x + gadget.width / 2, main.contentY + gadget.y + gadget.height / 2};
    }

    Onlooker look_;
    pid_t program_ = -1;
    unsigned long window_ = 0;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    int frameWidth_ = 0, frameHeight_ = 0;
    hxhost::ViewRect view_;
};

TEST_F(WindowSessionTest, ShowsTheToolkitsScreenAndStoresWhatThePersonDid)
{
    importAndLook();
    openWindow();
    ASSERT_EQ(width_, 1920) << "the test desktop fits the screen pixel for pixel";
    const hxhost::ViewRect screen{0, 0, 1920, 1080};
    EXPECT_EQ(differences(shownScreen(screen, &look_.screen), look_.screen), 0);

    // Photo 5 dragged onto the front of the grid, then the photo now third turned right.
    const hxhost::ViewRect first = look_.cells[0], last = look_.cells[5];
    drag(middle(last), {first.x + 2, first.y + first.height / 2});
    xdo("mousemove 0 0");
    const hxhost::Picture lastBefore = crop(look_.screen, last);
    EXPECT_EQ(differences(shownScreen(first, &lastBefore), lastBefore), 0) << "photo 5 is shown first";
    const auto [cx, cy] = middle(look_.cells[2]);
    xdo("mousemove " + at(cx, cy) + " click 1");
    const hxhost::GadgetView* turnRight = gadgetWithHelp(u"Turn right");
    ASSERT_NE(turnRight, nullptr);
    // The pointer over the button marks it and the status line names it.
    const hxhost::ViewRect status{0, 1080, 1920, frameHeight_ - 1080};
    const hxhost::Picture statusBefore = shownScreen(status);
    const auto [tx, ty] = gadgetMiddle(*turnRight);
    xdo("mousemove " + at(tx, ty));
    const hxhost::ViewRect button{look_.windows.front().contentX + turnRight->x, look_.windows.front().contentY + turnRight->y,
                                  turnRight->width, turnRight->height};
    EXPECT_GT(differences(changedScreen(button, crop(look_.screen, button)), crop(look_.screen, button)), 0);
    EXPECT_GT(differences(changedScreen(status, statusBefore), statusBefore), 0);
    xdo("click 1");
    EXPECT_EQ(closeWindow(), 0) << readFile(home() + "/session.log");

    const std::vector<StoredPhoto> stored = storedPhotos();
    ASSERT_EQ(stored.size(), 6u);
    EXPECT_EQ(stored[0].name, "p5");
    EXPECT_EQ(stored[2].name, "p1");
    EXPECT_EQ(stored[2].fields.rotation, 90);
    EXPECT_EQ(stored[1].fields.rotation, 0);
}

TEST_F(WindowSessionTest, KeysAnswerTheQuestionAndReachTheGadgets)
{
    // No import yet: the tool asks whether to import the scene bin. Escape says no.
    openWindow();
    xdo("key Escape");
    EXPECT_EQ(closeWindow(), 0) << readFile(home() + "/session.log");
    EXPECT_TRUE(storedNames().empty()) << "a cancelled question changes nothing";

    // Enter says yes; the grid's key gives it the focus, Right moves its selection, Delete trashes it.
    openWindow();
    xdo("key Return");
    waitUntilStill(); // the photos are imported under a meter
    xdo("key l");
    xdo("key Right");
    xdo("key Delete");
    EXPECT_EQ(closeWindow(), 0) << readFile(home() + "/session.log");
    EXPECT_EQ(storedNames(), (std::vector<std::string>{"p0", "p2", "p3", "p4", "p5"})) << readFile(home() + "/session.log");
}

TEST_F(WindowSessionTest, ClosedWhileANoticeWaitsTheSessionStillEndsAndStores)
{
    importAndLook();
    openWindow();
    drag(middle(look_.cells[0]), {look_.cells[3].x + 2, middle(look_.cells[3]).second}); // before photo 3
    // F1 opens the about notice, and the window manager closes the window while it waits.
    xdo("key F1");
    EXPECT_EQ(closeWindow(), 0) << readFile(home() + "/session.log");
    EXPECT_EQ(storedNames(), (std::vector<std::string>{"p1", "p2", "p0", "p3", "p4", "p5"})) << readFile(home() + "/session.log");
}

TEST_F(WindowSessionTest, ScaledIntoASmallerWindowThePointerStillHits)
{
    importAndLook();
    openWindow({"--window-size", "1280x750"});
    ASSERT_EQ(width_, 1280);
    // Dragging the first photo onto the trash deletes it for good.
    const hxhost::GadgetView* trash = gadgetWithHelp(u"Move to the trash");
    ASSERT_NE(trash, nullptr);
    drag(middle(look_.cells[0]), gadgetMiddle(*trash));
    EXPECT_EQ(closeWindow(), 0) << readFile(home() + "/session.log");
    EXPECT_EQ(storedNames(), (std::vector<std::string>{"p1", "p2", "p3", "p4", "p5"}));
}

// In the test's own process, so that the host's books can be read after the window closed.
TEST_F(WindowSessionTest, MeterStoppedWithEscapeAndWindowClosedLeavesNothingBehind)
{
    std::string error;
    std::shared_ptr<hxhost::User> person = hxhost::openWindowUser({}, &error);
    ASSERT_NE(person, nullptr) << error;
    hxhost::setUser(person);
    // Yes to the import question, then Escape while the photos are imported under a meter; later the
    // window manager closes the window.
    std::thread hand([] {
        const std::string found = shell("timeout 60 xdotool search --sync --onlyvisible --name '^stillset$' | head -n 1");
        if (found.empty())
            return;
        std::system(("xdotool windowfocus --sync " + std::to_string(std::stoul(found)) + " key Return Escape").c_str());
        // The window manager's close comes once the desktop has shown the same picture for a second.
        hxhost::Picture before = grabScreen(0, 0, 2048, 1280);
        for (int tries = 0; tries < 120; ++tries) {
            std::this_thread::sleep_for(1s);
            hxhost::Picture now = grabScreen(0, 0, 2048, 1280);
            if (differences(now, before) == 0)
                break;
            before = std::move(now);
        }
        std::string why;
        closeLikeAWindowManager(std::stoul(found), why);
    });
    const int32_t result = runTool();
    hand.join();
    hxhost::setUser(hxhost::scriptedUser());
    person.reset();
    EXPECT_EQ(result, 0);
    const std::vector<hxhost::MeterSeen> meters = hxhost::metersSeen();
    ASSERT_FALSE(meters.empty());
    EXPECT_TRUE(meters[0].stopped);
    EXPECT_TRUE(meters.back().closed);
    expectNothingLive();
    EXPECT_EQ(storedNames().size(), 6u); // the import goes on to the end: it does not stop for its meter
}

// The transitions the next session finds, by operator name.
std::vector<std::string> storedTransitions()
{
    std::vector<std::string> names;
    EXPECT_EQ(startToolSession(), 0);
    for (auto* entry = static_cast<OperatorEntry*>(ListFirst(&session.transitionList)); entry;
         entry = static_cast<OperatorEntry*>(ListNext(entry)))
        names.push_back(entry->name);
    endToolSession();
    return names;
}

TEST_F(WindowSessionTest, TransitionsAddedThroughThePickerWithTheMouseAreStored)
{
    importAndLook();
    const std::vector<std::string> before = storedTransitions();
    const std::shared_ptr<Rehearsal> rehearsal = rehearse("press \"Transitions...\"\npress \"Add...\"\n");
    ASSERT_GE(rehearsal->before.size(), 2u);
    ASSERT_FALSE(rehearsal->picker.empty()) << "the picker was never opened";
    const hxhost::WindowView& main = look_.windows.front();
    const hxhost::WindowView& requester = rehearsal->before[1].back();
    const hxhost::WindowView& picker = rehearsal->picker.back();
    const hxhost::GadgetView* open = gadgetCalled(main, u"Transitions...");
    const hxhost::GadgetView* add = gadgetCalled(requester, u"Add...");
    const hxhost::GadgetView* push = gadgetCalled(picker, u"push");
    const hxhost::GadgetView* wipe = gadgetCalled(picker, u"wipe");
    const hxhost::GadgetView* pickerOk = gadgetNumbered(picker, picker.okGadget);
    const hxhost::GadgetView* requesterOk = gadgetNumbered(requester, requester.okGadget);
    ASSERT_TRUE(open && add && push && wipe && pickerOk && requesterOk);

    openWindow();
    const auto click = [&](std::pair<int, int> point) { xdo("mousemove " + at(point.first, point.second) + " click 1"); };
    click(middleOf(main, *open));
    click(middleOf(requester, *add));
    // The picker stands on the X screen as the toolkit drew it; two boxes ticked, then its OK.
    const hxhost::ViewRect pickerArea{picker.x, picker.y, picker.width, picker.height};
    const hxhost::Picture drawn = crop(rehearsal->pickerScreen, pickerArea);
    EXPECT_EQ(differences(shownScreen(pickerArea, &drawn), drawn), 0);
    click(middleOf(picker, *push));
    click(middleOf(picker, *wipe));
    const hxhost::ViewRect box = areaOf(picker, *wipe);
    EXPECT_GT(differences(changedScreen(box, crop(drawn, {box.x - picker.x, box.y - picker.y, box.width, box.height})),
                          crop(drawn, {box.x - picker.x, box.y - picker.y, box.width, box.height})),
              0)
        << "a ticked box looks ticked";
    click(middleOf(picker, *pickerOk));
    click(middleOf(requester, *requesterOk));
    EXPECT_EQ(closeWindow(), 0) << readFile(home() + "/session.log");

    std::vector<std::string> expected = before;
    for (const std::string name : {"transition/push", "transition/wipe"})
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            expected.push_back(name);
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> stored = storedTransitions();
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, expected) << readFile(home() + "/session.log");
    EXPECT_NE(stored, before);
}

TEST_F(WindowSessionTest, TheCropRectanglesCornerDraggedWithTheMouseIsStored)
{
    importAndLook();
    const std::shared_ptr<Rehearsal> rehearsal = rehearse("select grid 0\npress \"Crop\"\n");
    const hxhost::ImageRequestSeen& crop = rehearsal->crop;
    ASSERT_GT(crop.shownWidth, 0) << "the crop requester was never shown";
    ASSERT_EQ(crop.width, crop.pictureWidth) << "the whole picture is offered";
    const hxhost::WindowView& requester = rehearsal->cropWindows.back();
    const hxhost::GadgetView* ok = gadgetNumbered(requester, requester.okGadget);
    const hxhost::GadgetView* photoCrop = nullptr;
    for (const hxhost::GadgetView& gadget : look_.windows.front().gadgets)
        if (gadget.helpString == 73)
            photoCrop = &gadget;
    ASSERT_TRUE(ok && photoCrop);

    openWindow();
    xdo("mousemove " + at(middle(look_.cells[0]).first, middle(look_.cells[0]).second) + " click 1");
    const auto [bx, by] = gadgetMiddle(*photoCrop);
    xdo("mousemove " + at(bx, by) + " click 1");
    // The bottom-right corner, dragged to the middle of the picture: the top-left quarter is kept.
    drag({crop.shownX + crop.shownWidth - 1, crop.shownY + crop.shownHeight - 1},
         {crop.shownX + crop.shownWidth / 2, crop.shownY + crop.shownHeight / 2});
    const auto [ox, oy] = middleOf(requester, *ok);
    xdo("mousemove " + at(ox, oy) + " click 1");
    EXPECT_EQ(closeWindow(), 0) << readFile(home() + "/session.log");

    const PhotoEntry stored = storedPhotos()[0].fields;
    EXPECT_EQ(stored.cropX, 0);
    EXPECT_EQ(stored.cropY, 0);
    EXPECT_NEAR(stored.cropWidth, 32, 2) << "half of the 64 pixels across";
    EXPECT_NEAR(stored.cropHeight, 24, 2) << "half of the 48 pixels down";
}

TEST_F(WindowSessionTest, AJingleDoubleClickedInTheFileRequesterIsStored)
{
    importAndLook();
    Tone song;
    song.container = "ogg";
    song.seconds = 0.5;
    song.title = "Evening theme";
    ASSERT_EQ(writeTone(home() + "/theme.ogg", song), "");
    // The program opens its file requester in its working folder, the test's home.
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(home());
    const std::shared_ptr<Rehearsal> rehearsal = rehearse("press \"Transitions...\"\npress \"Music...\"\n", u"theme.ogg");
    std::filesystem::current_path(here);
    ASSERT_TRUE(rehearsal->fileShown) << "the file requester does not list theme.ogg";
    const hxhost::WindowView& main = look_.windows.front();
    const hxhost::WindowView& requester = rehearsal->before[1].back();
    const hxhost::GadgetView* open = gadgetCalled(main, u"Transitions...");
    const hxhost::GadgetView* music = gadgetCalled(requester, u"Music...");
    const hxhost::GadgetView* requesterOk = gadgetNumbered(requester, requester.okGadget);
    ASSERT_TRUE(open && music && requesterOk);

    openWindow();
    const auto click = [&](std::pair<int, int> point, int times = 1) {
        xdo("mousemove " + at(point.first, point.second) + " click --repeat " + std::to_string(times) + " 1");
    };
    click(middleOf(main, *open));
    click(middleOf(requester, *music));
    waitUntilStill();
    click(middle(rehearsal->fileRow), 2);
    click(middleOf(requester, *requesterOk));
    EXPECT_EQ(closeWindow(), 0) << readFile(home() + "/session.log");

    ASSERT_EQ(startToolSession(), 0);
    ASSERT_NE(session.settings.jingleFile, nullptr);
    EXPECT_EQ(std::string(session.settings.jingleFile), home() + "/theme.ogg");
    ASSERT_NE(session.settings.jingleName, nullptr);
    EXPECT_EQ(std::u16string(session.settings.jingleName), u"Evening theme");
    endToolSession();
}

// In the test's own process: the meter is the host's, updated until the person stops it.
TEST_F(WindowSessionTest, TheMetersStopButtonStopsItUnderThePointer)
{
    std::string error;
    std::shared_ptr<hxhost::User> person = hxhost::openWindowUser({}, &error);
    ASSERT_NE(person, nullptr) << error;
    hxhost::setUser(person);
    UReqMeter meter{};
    meter.title = u"Building the slideshow";
    meter.steps = 1000;
    meter.style = 4;
    ASSERT_EQ(ureqOpenMeter(&meter), 0);
    const std::vector<hxhost::WindowView> open = hxhost::windows();
    ASSERT_FALSE(open.empty());
    const hxhost::WindowView shown = open.back();
    EXPECT_EQ(shown.title, u"Building the slideshow");
    const hxhost::GadgetView* stop = gadgetNumbered(shown, shown.cancelGadget);
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text, u"Stop");
    const hxhost::ViewRect stopArea = areaOf(shown, *stop);
    const hxhost::Picture stopDrawn = crop(hxhost::screenPicture(), stopArea);

    // The hand waits until the desktop shows the Stop button as the toolkit drew it, then clicks it.
    std::thread hand([&] {
        findWindow();
        EXPECT_EQ(differences(shownScreen(stopArea, &stopDrawn), stopDrawn), 0);
        const auto [x, y] = middleOf(shown, *stop);
        xdo("mousemove " + at(x, y) + " click 1");
    });
    int32_t done = 0;
    while (done < 6000 && ureqUpdateMeter(&meter, 3, done % 1000) != 0) {
        ++done;
        std::this_thread::sleep_for(10ms);
    }
    hand.join();
    ureqCloseMeter(&meter);
    EXPECT_TRUE(hxhost::windows().empty()) << "the meter's window closes with it";
    const std::vector<hxhost::MeterSeen> meters = hxhost::metersSeen();
    ASSERT_EQ(meters.size(), 1u);
    EXPECT_TRUE(meters[0].stopped);
    hxhost::setUser(hxhost::scriptedUser());
    person.reset();
    expectNothingLive();
}

} // namespace

// The display going away (the X server ends, a remote connection drops) and the signals that end a
// session from outside: each ends it as Close does, with what the person did stored.
TEST_F(WindowSessionTest, ALostDisplayOrASignalEndsTheSessionAsCloseDoes)
{
    importAndLook();
    const std::string suiteDisplay = std::getenv("DISPLAY");
    OwnXServer server;
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    setenv("DISPLAY", server.display().c_str(), 1); // the session, xdotool and the screen grabs all use it
    openWindow();
    drag(middle(look_.cells[0]), {look_.cells[3].x + 2, middle(look_.cells[3]).second}); // before photo 3
    waitUntilStill();
    server.end();
    const int status = waitForEnd();
    setenv("DISPLAY", suiteDisplay.c_str(), 1);
    EXPECT_EQ(status, 0) << readFile(home() + "/session.log");
    EXPECT_EQ(storedNames(), (std::vector<std::string>{"p1", "p2", "p0", "p3", "p4", "p5"})) << readFile(home() + "/session.log");

    std::vector<std::string> expected{"p1", "p2", "p0", "p3", "p4", "p5"};
    for (int signal : {SIGTERM, SIGHUP}) {
        openWindow();
        drag(middle(look_.cells[0]), {look_.cells[3].x + 2, middle(look_.cells[3]).second});
        waitUntilStill();
        kill(program_, signal);
        EXPECT_EQ(waitForEnd(), 130) << signal << ": " << readFile(home() + "/session.log");
        std::rotate(expected.begin(), expected.begin() + 1, expected.begin() + 3); // the first photo behind the third
        EXPECT_EQ(storedNames(), expected) << signal << ": " << readFile(home() + "/session.log");
    }
}
