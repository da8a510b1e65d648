// A host with a program's message queue and main window, for the toolkit's tests.
#ifndef TESTS_HOST_GUI_TEST_SUPPORT_H
#define TESTS_HOST_GUI_TEST_SUPPORT_H

#include "host/hxgui.h"
#include "host/hxlist.h"
#include "host/hxmsgq.h"
#include "host/hxreq.h"
#include "hxhost/gui.h"
#include "hxhost/user.h"
#include "support/test_home.h"

#include <optional>
#include <vector>

class GuiTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        queue_ = msgQCreate(100, 44, 0);
        ASSERT_NE(queue_, nullptr);
    }
    void TearDown() override
    {
        for (UReqRequest* request : opened_)
            ureqDeleteRequest(request);
        msgQDelete(queue_);
        HostTest::TearDown();
    }

    // Opens a window as the program does; the request record lives as long as the test.
    UgWindow* openWindow(UReqRequest& request, uint32_t flags, int32_t width, int32_t height, const char16_t* title = nullptr)
    {
        request = UReqRequest{};
        request.flags = flags;
        request.size = static_cast<uint32_t>(width) | static_cast<uint32_t>(height) << 16;
        request.queue = queue_;
        request.title = title;
        EXPECT_EQ(ureqCreateRequest(&request), 0);
        opened_.push_back(&request);
        return request.window;
    }
    UgWindow* openMainWindow()
    {
        return openWindow(main_, UREQ_MAIN_WINDOW, ugGetScreenWidth(), ugGetScreenHeight());
    }

    // The next message, with the scripted user acting while the queue is empty.
    UgMessage receive()
    {
        UgMessage message{};
        EXPECT_EQ(ugMsgQReceive(&message, -1), 44);
        return message;
    }

    static UgItem item(uint32_t user, const char16_t* text = nullptr, uint32_t flags = UG_ITEM_TEXT_ROW)
    {
        UgItem record{};
        record.flags = flags;
        record.text = text;
        record.user = user;
        return record;
    }

    static int32_t info(UgWindow* window, UgGadget gadget, int32_t attribute)
    {
        int32_t value = -99;
        EXPECT_EQ(ugGetElementInfo(window, gadget, attribute, &value), 0) << "attribute " << attribute;
        return value;
    }

    // User words of a grid's or list's items, in order.
    static std::vector<uint32_t> users(UgGadget gadget)
    {
        std::vector<uint32_t> out;
        const std::optional<hxhost::GadgetView> view = hxhost::gadget(gadget);
        for (const hxhost::ItemView& item : view->items)
            out.push_back(item.user);
        return out;
    }

    static hxhost::UserAction act(hxhost::ActionKind kind, UgGadget gadget, int32_t value = 0)
    {
        hxhost::UserAction action;
        action.kind = kind;
        action.gadget.id = gadget;
        action.value = value;
        return action;
    }

    MsgQueue* queue_ = nullptr;
    UReqRequest main_{};
    std::vector<UReqRequest*> opened_;
};

#endif
