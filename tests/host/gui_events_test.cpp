// The events the user's actions post, the drag and drop exchange, requesters' gadgets and what
// happens when the user has nothing left to do.
#include "gui_test_support.h"

namespace {

using hxhost::ActionKind;

class GuiEventsTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        user_ = hxhost::scriptedUser();
    }
    // A grid of `count` items (user words 100, 101, ...) in the main window.
    UgGadget grid(UgWindow* window, int32_t count, uint32_t flags)
    {
        ListHead items;
        ListInit(&items);
        std::vector<UgItem> records(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            records[static_cast<size_t>(i)] = item(100 + static_cast<uint32_t>(i));
            ListAppend(&items, &records[static_cast<size_t>(i)]);
        }
        return ugAddGridview(window, 20, 20, 800, 400, 92, 69, &items, 1, flags, nullptr);
    }
    std::shared_ptr<hxhost::ScriptedUser> user_;
};

TEST_F(GuiEventsTest, EachGadgetKindReportsItsEventCodeAndValue)
{
    UgWindow* window = openMainWindow();
    const UgGadget button = ugAddTextButton(window, 10, 10, 200, 30, u"Close", 0, 0);
    const UgGadget box = ugAddCheckBox(window, 10, 50, 48, 30, 0, 0, nullptr);
    ListHead entries;
    ListInit(&entries);
    UgItem a = item(0, u"a", UG_ITEM_POPUP), b = item(0, u"b", UG_ITEM_POPUP), c = item(0, u"c", UG_ITEM_POPUP);
    ListAppend(&entries, &a);
    ListAppend(&entries, &b);
    ListAppend(&entries, &c);
    const UgGadget popup = ugAddPopup(window, 100, 90, 200, 30, &entries, 0, u"Length", 0, 0);
    const UgGadget slider = ugAddSlider(window, 100, 130, 300, 30, 0, 200, 100, u"Contrast", u"%ld%%", 0x130000, nullptr);
    const UgGadget photos = grid(window, 4, 0x410000);

    user_->addAction(act(ActionKind::Press, button));
    user_->addAction(act(ActionKind::SetCheck, box, 1));
    user_->addAction(act(ActionKind::SetCheck, box, 1)); // already checked: nothing to report
    user_->addAction(act(ActionKind::Choose, popup, 2));
    user_->addAction(act(ActionKind::Slide, slider, 250));
    user_->addAction(act(ActionKind::Select, photos, 3));
    user_->addAction(act(ActionKind::DoubleClick, photos, 1));
    user_->addAction(act(ActionKind::Step, photos, 1));

    struct Expected {
        UgGadget gadget;
        uint32_t code;
        uint32_t value;
    };
    const Expected expected[] = {{button, UG_EVENT_PRESSED, 0}, {box, UG_EVENT_PRESSED, 1},    {popup, UG_EVENT_CHOSEN, 2},
                                 {slider, UG_EVENT_SLID, 200},   {photos, UG_EVENT_SELECTED, 3}, {photos, UG_EVENT_CHOSEN, 1},
                                 {photos, UG_EVENT_KEY_SELECTED, 2}};
    for (const Expected& e : expected) {
        const UgMessage message = receive();
        EXPECT_EQ(message.messageClass, UG_MSG_GADGET);
        EXPECT_EQ(message.gadget, e.gadget);
        EXPECT_EQ(message.code & 0xFFFF, e.code);
        EXPECT_EQ(message.value, e.value);
    }
    EXPECT_EQ(info(window, slider, UG_SLIDER_VALUE), 200) << "the knob stops at the end of the range";
    EXPECT_EQ(info(window, photos, UG_GRID_SELECTED), 2);
    EXPECT_EQ(info(window, popup, UG_POPUP_SELECTED), 2);
    EXPECT_TRUE(user_->failures().empty()) << user_->failures().front();
}

TEST_F(GuiEventsTest, DragWithinTheGridAndOntoADropTarget)
{
    UgWindow* window = openMainWindow();
    const UgGadget photos = grid(window, 6, 0x6410000);
    const UgGadget trash = ugAddClickGadget(window, 900, 20, 60, 30, 0x810000, 0);

    hxhost::UserAction within = act(ActionKind::DragToPosition, photos, 5);
    within.to = 2;
    user_->addAction(within);
    UgMessage message = receive();
    EXPECT_EQ(message.messageClass, UG_MSG_GADGET) << "pressing on the item selects it first";
    EXPECT_EQ(message.value, 5u);
    message = receive();
    EXPECT_EQ(message.messageClass, UG_MSG_DRAG_OVER);
    EXPECT_EQ(message.gadget, photos);
    EXPECT_EQ(message.value, photos);
    ugDropPossible(1, 0);
    message = receive();
    EXPECT_EQ(message.messageClass, UG_MSG_DROP);
    EXPECT_EQ(message.gadget, photos);
    EXPECT_EQ(message.code, 5u);
    EXPECT_EQ(message.value, photos);
    EXPECT_EQ(message.dropPosition, 2u);
    EXPECT_EQ(info(window, photos, UG_GRID_DRAG_SOURCE), 5);

    hxhost::UserAction onto = act(ActionKind::DragOnto, photos, 1);
    onto.target.id = trash;
    user_->addAction(onto);
    receive(); // the selection
    message = receive();
    EXPECT_EQ(message.messageClass, UG_MSG_DRAG_OVER);
    EXPECT_EQ(message.value, trash);
    ugDropPossible(1, 0);
    message = receive();
    EXPECT_EQ(message.messageClass, UG_MSG_DROP);
    EXPECT_EQ(message.value, trash);
    EXPECT_EQ(info(window, photos, UG_GRID_SELECTED), 1) << "the drop target learns the item from the selection";

    hxhost::UserAction refused = act(ActionKind::DragToPosition, photos, 0);
    refused.to = 6;
    user_->addAction(refused);
    receive();
    receive(); // drag over: the program does not allow the drop
    message = receive();
    EXPECT_EQ(message.messageClass, UG_MSG_CLOSE) << "no drop was posted; the user, done, closed the window";
}

TEST_F(GuiEventsTest, GridsWithoutDragAndDropAndTargetsThatTakeNoDropsRefuse)
{
    UgWindow* window = openMainWindow();
    const UgGadget plain = grid(window, 3, 0x410000);
    const UgGadget area = ugAddClickGadget(window, 900, 20, 60, 30, 0x10000, 0);
    hxhost::UserAction drag = act(ActionKind::DragToPosition, plain, 0);
    drag.to = 2;
    user_->addAction(drag);
    EXPECT_EQ(receive().messageClass, UG_MSG_CLOSE);
    ASSERT_EQ(user_->failures().size(), 1u);

    ugDisableRefresh(1);
    ListHead none;
    ListInit(&none);
    const UgGadget dragging = ugAddGridview(window, 20, 450, 800, 200, 92, 69, &none, 1, 0x6410000, nullptr);
    UgItem one = item(7);
    ugChangeElement(window, dragging, UG_GRID_APPEND, reinterpret_cast<intptr_t>(&one), 1);
    ugEnableRefresh(1);
    hxhost::UserAction onto = act(ActionKind::DragOnto, dragging, 0);
    onto.target.id = area;
    user_->addAction(onto);
    receive();
    EXPECT_EQ(receive().messageClass, UG_MSG_DRAG_OVER);
    ugDropPossible(1, 0);
    EXPECT_EQ(receive().messageClass, UG_MSG_CLOSE) << "an area without the drop flag takes no drop";
}

TEST_F(GuiEventsTest, RequestersAreCentredWithOkAndCancelAndTheirCloseGadgetIsCancel)
{
    openMainWindow();
    UReqRequest request;
    UgWindow* window = openWindow(request, UREQ_REQUESTER, 400, 200, u"Thumbnail size");
    ASSERT_NE(request.okGadget, 0u);
    ASSERT_NE(request.cancelGadget, 0u);
    const hxhost::WindowView view = hxhost::windows().back();
    EXPECT_EQ(view.handle, window);
    EXPECT_NEAR(view.x + view.width / 2, ugGetScreenWidth() / 2, 1);
    EXPECT_NEAR(view.y + view.height / 2, ugGetScreenHeight() / 2, 1);

    hxhost::UserAction close;
    close.kind = ActionKind::Close;
    user_->addAction(close);
    hxhost::UserAction ok;
    ok.kind = ActionKind::Press;
    ok.gadget.text = u"OK";
    user_->addAction(ok);
    UgMessage message = receive();
    EXPECT_EQ(message.messageClass, UG_MSG_GADGET);
    EXPECT_EQ(message.gadget, request.cancelGadget);
    EXPECT_EQ(receive().gadget, request.okGadget);

    UReqRequest editor;
    openWindow(editor, UREQ_EDITOR_REQUESTER, 400, 200, u"Edit photo");
    EXPECT_NE(editor.okGadget, 0u);
    EXPECT_EQ(editor.cancelGadget, 0u) << "the photo editor has only its OK gadget";
    user_->addAction(close);
    EXPECT_EQ(receive().gadget, editor.okGadget);
}

TEST_F(GuiEventsTest, WhenTheScriptRunsOutTheUserClosesTheMainWindowEveryTime)
{
    openMainWindow();
    UReqRequest request;
    openWindow(request, UREQ_REQUESTER, 300, 100, u"Question");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(receive().messageClass, UG_MSG_CLOSE);
    hxhost::UserAction quit;
    quit.kind = ActionKind::Quit;
    user_->addAction(quit);
    EXPECT_EQ(receive().messageClass, UG_MSG_CLOSE_ALT);
    UgMessage message{};
    EXPECT_EQ(ugMsgQReceive(&message, 0), 0) << "a program that does not wait gets no user";
}

TEST_F(GuiEventsTest, ActionsThatCannotBeDoneAreReportedAndSkipped)
{
    UgWindow* window = openMainWindow();
    const UgGadget button = ugAddTextButton(window, 10, 10, 200, 30, u"About", 0, 0);
    ugChangeElement(window, button, UG_SHORTCUT, 0xE012, 0);
    hxhost::UserAction missing;
    missing.kind = ActionKind::Press;
    missing.gadget.text = u"Nothing like this";
    missing.line = 4;
    user_->addAction(missing);
    user_->addAction(act(ActionKind::Choose, button, 1));
    hxhost::UserAction key;
    key.kind = ActionKind::Key;
    key.value = 0xE012;
    user_->addAction(key);
    const UgMessage message = receive();
    EXPECT_EQ(message.gadget, button) << "the shortcut key pressed the button";
    ASSERT_EQ(user_->failures().size(), 2u);
    EXPECT_EQ(user_->failures()[0], "line 4: cannot find the gadget \"Nothing like this\"");
    EXPECT_EQ(user_->failures()[1], "not a popup");
}

} // namespace
