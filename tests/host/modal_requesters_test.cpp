// Modal requesters drawn on the screen while the user answers them, sliders dragged, and the
// session script's lines for both.
#include "gui_test_support.h"

#include "host/hxopcommon.h"
#include "hxhost/session_script.h"

#include <filesystem>
#include <functional>

namespace {

using ModalRequestersTest = GuiTest;

// A user who looks at the screen when asked, then answers as the scripted user would.
class LookingUser : public hxhost::ScriptedUser {
public:
    std::function<void()> look;
    uint32_t answerTextRequest(const hxhost::TextRequestSeen& request) override
    {
        look();
        return ScriptedUser::answerTextRequest(request);
    }
    hxhost::CropAnswer answerImageRequest(const hxhost::ImageRequestSeen& request) override
    {
        look();
        return ScriptedUser::answerImageRequest(request);
    }
};

constexpr uint32_t kAccent = 0x58AAFA;

// A format-1 picture of one grey.
OpImage* greyPicture(int32_t width, int32_t height)
{
    OpImage* picture = opAllocImage(width, height, OP_FORMAT_YUVA, 0);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        uint8_t* p = picture->planes[0] + 4 * i;
        p[0] = 0;
        p[1] = p[2] = 128;
        p[3] = 180;
    }
    return picture;
}

bool near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 2)
            return false;
    return true;
}

TEST_F(ModalRequestersTest, QuestionStandsOverTheMainWindowWhileTheUserAnswers)
{
    auto user = std::make_shared<LookingUser>();
    hxhost::setUser(user);
    user->addAnswer(1);
    openMainWindow();
    std::vector<hxhost::WindowView> shown;
    user->look = [&] { shown = hxhost::windows(); };
    UReqTextRequest question{};
    question.text = u"Reset all settings to their defaults?";
    question.style = UREQ_QUESTION;
    ASSERT_EQ(ureqTextRequest(&question), 0);
    EXPECT_EQ(question.answer, 1u);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, u"Question");
    std::vector<std::u16string> buttons;
    for (const hxhost::GadgetView& g : shown[1].gadgets)
        buttons.push_back(g.text);
    EXPECT_EQ(buttons, (std::vector<std::u16string>{u"No", u"Yes"}));
    EXPECT_EQ(hxhost::windows().size(), 1u) << "gone once answered";
    EXPECT_EQ(hxhost::liveCounts().windows, 1);
}

TEST_F(ModalRequestersTest, CropRequesterShowsThePictureWithTheRectangleAtEveryScreenSize)
{
    struct Case {
        int32_t screenW, screenH;
        int32_t viewX, viewY, viewW, viewH; // the picture's place in the content, worked by hand
        int32_t x0, y0, x1, y1;             // the rectangle in it
    };
    const Case cases[] = {{1920, 1080, 18, 18, 960, 720, 240, 120, 719, 359},
                          {1280, 720, 12, 12, 640, 480, 160, 80, 479, 239}};
    for (const Case& c : cases) {
        ASSERT_TRUE(hxhost::setScreen(c.screenW, c.screenH));
        auto user = std::make_shared<LookingUser>();
        hxhost::setUser(user);
        user->addCrop({true, true});
        hxhost::Picture screen;
        hxhost::WindowView crop;
        user->look = [&] {
            screen = hxhost::screenPicture();
            crop = hxhost::windows().back();
        };
        OpImage* picture = greyPicture(400, 300);
        UReqImageRequest request{10, 10, 999, 999, 100, 50, 200, 100, picture, 1000, 1000, 0};
        ASSERT_EQ(ureqImageRequest(&request), 0);
        opFreeImage(picture);
        ASSERT_EQ(crop.title, u"Crop");
        const int32_t left = crop.contentX + c.viewX, top = crop.contentY + c.viewY;
        const uint32_t grey = screen.at(left + (c.x0 + c.x1) / 2, top + (c.y0 + c.y1) / 2);
        EXPECT_TRUE(near(grey, 0xBFBFBF)) << std::hex << grey; // luma 180 in limited range
        EXPECT_EQ(screen.at(left + 2, top + 2), (grey >> 1) & 0x7F7F7F) << "dimmed outside";
        EXPECT_EQ(screen.at(left + c.viewW - 1, top + c.viewH - 1), (grey >> 1) & 0x7F7F7F);
        EXPECT_EQ(screen.at(left + c.x0, top + (c.y0 + c.y1) / 2), kAccent) << "left edge of the rectangle";
        EXPECT_EQ(screen.at(left + c.x1, top + c.y1), kAccent) << "its bottom right corner";
        EXPECT_EQ(screen.at(left + c.x0 - 1, top + c.y0 + 5), (grey >> 1) & 0x7F7F7F);
        EXPECT_EQ(screen.at(left + c.x0 + 2, top + c.y0 + 5), grey) << "the frame is two pixels wide";
        EXPECT_EQ(hxhost::liveCounts().windows, 0);
    }
}

TEST_F(ModalRequestersTest, DraggedSliderPostsTheValuesOnTheWay)
{
    UgWindow* window = openMainWindow();
    const UgGadget slider = ugAddSlider(window, 10, 10, 300, 30, 0, 200, 100, u"Brightness", u"%ld%%", 0x130000, nullptr);
    hxhost::ScriptedUser& user = *hxhost::scriptedUser();
    user.addAction(act(hxhost::ActionKind::DragSlider, slider, 180));
    user.addAction(act(hxhost::ActionKind::DragSlider, slider, 500));
    user.addAction(act(hxhost::ActionKind::DragSlider, slider, 200));
    std::vector<uint32_t> values;
    for (int i = 0; i < 16; ++i) {
        const UgMessage message = receive();
        EXPECT_EQ(message.gadget, slider);
        EXPECT_EQ(message.code, static_cast<uint32_t>(UG_EVENT_SLID));
        values.push_back(message.value);
    }
    EXPECT_EQ(values, (std::vector<uint32_t>{110, 120, 130, 140, 150, 160, 170, 180,   // eight moves
                                             182, 185, 187, 190, 192, 195, 197, 200})); // stopped at the end
    EXPECT_EQ(info(window, slider, UG_SLIDER_VALUE), 200);
    EXPECT_EQ(user.failures(), std::vector<std::string>{}) << "a knob at its end moves no more";
}

TEST_F(ModalRequestersTest, ScriptDragsSlidersAndPhotographsRequestersBeforeAnsweringThem)
{
    const std::string questionShot = home() + "/question.png", cropShot = home() + "/crop.png";
    hxhost::ScriptedUser& user = *hxhost::scriptedUser();
    std::string error;
    ASSERT_TRUE(hxhost::parseSessionScript("drag \"Brightness\" in \"Tone\" to 150\nanswer yes screenshot " +
                                               questionShot + "\ncrop 1 2 30 40 screenshot " + cropShot + "\n",
                                           "s.txt", user, &error))
        << error;
    const std::optional<hxhost::UserAction> drag = user.nextAction();
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->kind, hxhost::ActionKind::DragSlider);
    EXPECT_EQ(drag->value, 150);
    EXPECT_EQ(drag->gadget.window, u"Tone");

    openMainWindow();
    UReqTextRequest question{};
    question.text = u"Go on?";
    question.style = UREQ_QUESTION;
    ASSERT_EQ(ureqTextRequest(&question), 0);
    EXPECT_EQ(question.answer, 1u);
    EXPECT_TRUE(std::filesystem::exists(questionShot));
    OpImage* picture = greyPicture(64, 48);
    UReqImageRequest request{10, 10, 999, 999, 0, 0, 64, 48, picture, 1000, 1000, 0};
    ASSERT_EQ(ureqImageRequest(&request), 0);
    opFreeImage(picture);
    EXPECT_EQ(request.width, 30);
    EXPECT_TRUE(std::filesystem::exists(cropShot));
    EXPECT_EQ(user.failures(), std::vector<std::string>{});

    hxhost::ScriptedUser bad;
    EXPECT_FALSE(hxhost::parseSessionScript("answer yes screenshot\n", "s.txt", bad, &error));
    EXPECT_EQ(error, "s.txt:1: the line ends too early");
    EXPECT_FALSE(hxhost::parseSessionScript("crop keep screenshot \"\"\n", "s.txt", bad, &error));
    EXPECT_EQ(error, "s.txt:1: a screenshot needs a file name");
}

TEST_F(ModalRequestersTest, ScreenshotThatCannotBeSavedIsAFailureOfTheScriptedUser)
{
    hxhost::ScriptedUser& user = *hxhost::scriptedUser();
    user.addAnswer(1, home() + "/no/such/folder/q.png");
    UReqTextRequest notice{};
    notice.text = u"Done.";
    notice.style = UREQ_NOTICE;
    ASSERT_EQ(ureqTextRequest(&notice), 0);
    EXPECT_EQ(notice.answer, 1u) << "the answer still comes";
    ASSERT_EQ(user.failures().size(), 1u);
    EXPECT_EQ(user.failures()[0].rfind("screenshot " + home() + "/no/such/folder/q.png: ", 0), 0u) << user.failures()[0];
}

TEST_F(ModalRequestersTest, MainWindowBuiltAgainStaysBehindTheRequesters)
{
    UReqRequest requester{};
    openWindow(requester, UREQ_REQUESTER, 300, 200, u"Edit photo");
    openMainWindow();
    const auto shown = hxhost::windows();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, u"Edit photo") << "the requester stays on top";
}

} // namespace
