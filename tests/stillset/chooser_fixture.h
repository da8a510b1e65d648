// A session of the tool with its main window standing, in which a test works the transitions and
// effects requesters through their handlers, as the event loop would call them.
#ifndef TESTS_STILLSET_CHOOSER_FIXTURE_H
#define TESTS_STILLSET_CHOOSER_FIXTURE_H

#include "session_fixture.h"

#include "gui/effects_requester.h"
#include "gui/list_requester_layout.h"
#include "gui/main_window.h"
#include "gui/operator_list_view.h"
#include "gui/pan_preset_requester.h"
#include "gui/requester_frame.h"
#include "gui/transition_settings_requester.h"
#include "gui/transitions_requester.h"

struct Row {
    std::u16string text;
    uint32_t user = 0;
    bool operator==(const Row&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Row& row)
{
    return out << std::string(row.text.begin(), row.text.end()) << "/" << row.user;
}

class ChooserTest : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        ASSERT_EQ(startToolSession(), 0);
        ASSERT_EQ(buildMainWindow(), 0);
    }
    void TearDown() override
    {
        endToolSession();
        PluginTest::TearDown();
    }

    static UgMessage event(uint32_t gadget = 0, uint32_t value = 0)
    {
        UgMessage message;
        std::memset(&message, 0, sizeof message);
        message.messageClass = UG_MSG_GADGET;
        message.gadget = gadget;
        message.value = value;
        return message;
    }

    static std::vector<Row> rows(UgGadget list)
    {
        std::vector<Row> shown;
        if (auto view = hxhost::gadget(list))
            for (const hxhost::ItemView& item : view->items)
                shown.push_back({item.text, item.user});
        return shown;
    }
    static int32_t selected(UgGadget list)
    {
        auto view = hxhost::gadget(list);
        return view ? view->selected : -2;
    }
    static void select(RequestSlot slot, UgGadget list, int32_t row)
    {
        ASSERT_EQ(ugChangeElement(requesterWindow(slot), list, UG_LIST_SELECT, row, 1), 0);
    }

    // The names of a list's entries, in list order.
    static std::vector<std::string> names(ListHead& list)
    {
        std::vector<std::string> all;
        for (auto* entry = static_cast<OperatorEntry*>(ListFirst(&list)); entry;
             entry = static_cast<OperatorEntry*>(ListNext(entry)))
            all.push_back(entry->name);
        return all;
    }

    // Transitions chosen in the operator picker by the user's next answer.
    static void addTransitions(std::vector<std::string> picked)
    {
        hxhost::scriptedUser()->addOperators(std::move(picked));
        onAddTransition(event(transitionsGadgets().addButton));
    }

    static bool checkBoxOn(UgGadget box)
    {
        auto view = hxhost::gadget(box);
        return view && view->state == 1;
    }
};

#endif
