// Session script files: what each line makes the scripted user do, and clear errors for bad lines.
#include "gui_test_support.h"

#include "hxhost/session_script.h"

namespace {

using GuiScriptTest = GuiTest;

TEST_F(GuiScriptTest, ScriptLinesAddressGadgetsEveryWay)
{
    UgWindow* window = openMainWindow();
    const UgGadget close = ugAddTextButton(window, 10, 10, 100, 30, u"Close \"now\"", 0, 0);
    const UgGadget trash = ugAddImageButton(window, 10, 50, 48, 30, nullptr, 0, 0);
    ugChangeElement(window, trash, UG_HELP_STRING, 79, 0);
    ugChangeElement(window, trash, UG_SHORTCUT, 0xE002, 0);
    const UgGadget second = ugAddTextButton(window, 10, 90, 100, 30, u"Second", 0, 0);
    UReqRequest request;
    openWindow(request, UREQ_REQUESTER, 300, 100, u"Storyboard");

    hxhost::ScriptedUser& user = *hxhost::scriptedUser();
    std::string error;
    ASSERT_TRUE(hxhost::parseSessionScript("# comment\n\n"
                                           "press \"Close \\\"now\\\"\"\n"
                                           "press help:79\r\n"
                                           "press key:0xE002\n"
                                           "press button:1 in main\n"
                                           "press #" + std::to_string(close) + "\n"
                                           "press ok\n"
                                           "close in \"Storyboard\"\n"
                                           "key p\n"
                                           "answer yes\n"
                                           "stop-meter 2\n",
                                           "session.txt", user, &error))
        << error;
    const UgGadget expected[] = {close, trash, trash, second, close, request.okGadget, request.cancelGadget};
    for (UgGadget gadget : expected)
        EXPECT_EQ(receive().gadget, gadget);
    EXPECT_EQ(receive().messageClass, UG_MSG_CLOSE) << "the key matched nothing; then the script ran out";
    ASSERT_EQ(user.failures().size(), 1u);
    EXPECT_EQ(user.failures()[0], "line 10: cannot find the gadget with key 112");

    UReqTextRequest question{};
    question.style = UREQ_QUESTION;
    ASSERT_EQ(ureqTextRequest(&question), 0);
    EXPECT_EQ(question.answer, 1u);
    UReqMeter meter{};
    meter.steps = 5;
    ASSERT_EQ(ureqOpenMeter(&meter), 0);
    EXPECT_EQ(ureqUpdateMeter(&meter, 3, 1), 1);
    EXPECT_EQ(ureqUpdateMeter(&meter, 3, 2), 0) << "stopped at step 2";
    ureqCloseMeter(&meter);
}

TEST_F(GuiScriptTest, BadLinesAreNamedWithTheirLineAndNothingIsAdded)
{
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"prss \"Close\"", "s.txt:2: unknown action \"prss\""},
        {"press \"Close", "s.txt:2: a text is missing its closing quote"},
        {"choose popup:1", "s.txt:2: the line ends too early"},
        {"choose popup:x 2", "s.txt:2: \"x\" is not a number from 0 to 2147483647"},
        {"check checkbox maybe", "s.txt:2: a check box is set \"on\" or \"off\""},
        {"drag grid 1 over 2", "s.txt:2: a drag goes \"to\" a position or \"onto\" a gadget"},
        {"press knob", "s.txt:2: \"knob\" names no gadget"},
        {"select grid 1 2", "s.txt:2: unexpected \"2\" at the end"},
        {"set \"Softness\"", "s.txt:2: the line ends too early"},
        {"set \"Softness\" lots", "s.txt:2: \"lots\" is not a number from -2147483648 to 2147483647"},
        {"crop 1 2 0 5", "s.txt:2: a crop rectangle needs a width and a height above 0"},
        {"answer perhaps", "s.txt:2: an answer is \"yes\", \"no\" or \"ok\""},
    };
    for (const auto& c : cases) {
        hxhost::ScriptedUser user;
        std::string error;
        EXPECT_FALSE(hxhost::parseSessionScript(std::string("press \"OK\"\n") + c.line + "\n", "s.txt", user, &error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(user.actionsLeft(), 0u) << "a bad script adds nothing";
    }
    hxhost::ScriptedUser user;
    std::string error;
    EXPECT_FALSE(hxhost::loadSessionScript(home() + "/none.txt", user, &error));
    EXPECT_NE(error.find("cannot read the script"), std::string::npos);
}

TEST_F(GuiScriptTest, AnswersOfEveryRequesterComeFromTheScript)
{
    const std::string script = home() + "/answers.txt";
    writeFile(script, "pick-scenes all\n"
                      "pick-scenes none\n"
                      "pick-operators crossfade \"wipe left\"\n"
                      "pick-file /tmp/song.mp3 \"My song\" orientation 3\n"
                      "pick-file cancel\n"
                      "crop 2 4 100 50\n"
                      "crop keep\n"
                      "screenshot shot.png in main\n");
    hxhost::ScriptedUser user;
    std::string error;
    ASSERT_TRUE(hxhost::loadSessionScript(script, user, &error)) << error;
    EXPECT_EQ(user.pickScenes({{1, u"a"}, {2, u"b"}}), (std::vector<uint32_t>{1, 2}));
    EXPECT_TRUE(user.pickScenes({{1, u"a"}}).empty());
    EXPECT_EQ(user.pickOperators({"crossfade", "wipe left"}, ""), (std::vector<std::string>{"crossfade", "wipe left"}));
    const auto file = user.pickFile(1);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->displayName, u"My song");
    EXPECT_EQ(file->orientation, 3);
    EXPECT_FALSE(user.pickFile(1));
    const hxhost::CropAnswer crop = user.answerImageRequest({});
    EXPECT_TRUE(crop.accept && !crop.keepShown && crop.width == 100);
    EXPECT_TRUE(user.answerImageRequest({}).keepShown);
    EXPECT_FALSE(user.answerImageRequest({}).accept) << "no answer left: cancel";
    const auto shot = user.nextAction();
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->kind, hxhost::ActionKind::Screenshot);
    EXPECT_EQ(shot->gadget.window, u"main");
    EXPECT_EQ(shot->line, 8);
}

} // namespace
