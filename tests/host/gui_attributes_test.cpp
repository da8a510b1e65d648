// The attribute codes of the toolkit, with the meanings the slideshow tool relies on.
#include "gui_test_support.h"

#include <string>

namespace {

using GuiAttributesTest = GuiTest;

UgGadget makeGrid(UgWindow* window, ListHead* items, uint32_t flags = 0x410000)
{
    return ugAddGridview(window, 10, 10, 600, 300, 92, 69, items, 1, flags, nullptr);
}

TEST_F(GuiAttributesTest, GridInsertsAfterTheSelectionOrFirstAndDeletesKeepingTheSelectionInPlace)
{
    UgWindow* window = openMainWindow();
    ListHead empty;
    ListInit(&empty);
    const UgGadget grid = makeGrid(window, &empty);
    ASSERT_NE(grid, 0u);
    EXPECT_EQ(info(window, grid, UG_GRID_SELECTED), -1);

    UgItem record = item(10); // reused at once: the toolkit keeps its own copy
    EXPECT_EQ(ugChangeElement(window, grid, UG_GRID_INSERT_AFTER_SELECTED, reinterpret_cast<intptr_t>(&record), 0), 0);
    record.user = 20;
    ugChangeElement(window, grid, UG_GRID_APPEND, reinterpret_cast<intptr_t>(&record), 0);
    record.user = 30;
    ugChangeElement(window, grid, UG_GRID_APPEND, reinterpret_cast<intptr_t>(&record), 1);
    EXPECT_EQ(users(grid), (std::vector<uint32_t>{10, 20, 30})) << "no selection: the first insert goes first";

    ugChangeElement(window, grid, UG_GRID_SELECT, 1, 0);
    record.user = 25;
    ugChangeElement(window, grid, UG_GRID_INSERT_AFTER_SELECTED, reinterpret_cast<intptr_t>(&record), 0);
    EXPECT_EQ(users(grid), (std::vector<uint32_t>{10, 20, 25, 30}));
    EXPECT_EQ(info(window, grid, UG_GRID_SELECTED), 1) << "inserting after the selection leaves it";

    record.user = 5;
    ugChangeElement(window, grid, UG_GRID_INSERT_FIRST, reinterpret_cast<intptr_t>(&record), 1);
    EXPECT_EQ(users(grid), (std::vector<uint32_t>{5, 10, 20, 25, 30}));
    EXPECT_EQ(info(window, grid, UG_GRID_SELECTED), 2) << "the selected item moved down with the insert";

    ugChangeElement(window, grid, UG_GRID_DELETE, 2, 1);
    EXPECT_EQ(users(grid), (std::vector<uint32_t>{5, 10, 25, 30}));
    EXPECT_EQ(info(window, grid, UG_GRID_SELECTED), 2) << "the next item takes the deleted one's place";
    ugChangeElement(window, grid, UG_GRID_SELECT, 3, 0);
    ugChangeElement(window, grid, UG_GRID_DELETE, 3, 1);
    EXPECT_EQ(info(window, grid, UG_GRID_SELECTED), 2) << "deleting the last selects the new last";
    ugChangeElement(window, grid, UG_GRID_DELETE, 0, 1);
    EXPECT_EQ(info(window, grid, UG_GRID_SELECTED), 1) << "deleting before the selection moves it up";

    EXPECT_EQ(ugChangeElement(window, grid, UG_GRID_DELETE, 7, 1), -1);
    EXPECT_EQ(ugChangeElement(window, grid, UG_GRID_SELECT, 3, 1), -1);
    EXPECT_EQ(ugChangeElement(window, grid, UG_GRID_REDRAW_ITEM, 1, 1), 0);
    EXPECT_EQ(ugChangeElement(window, grid, UG_GRID_REDRAW_ITEM, 2, 1), -1);
}

TEST_F(GuiAttributesTest, GridListIsReplacedAndAnEmptyListClearsIt)
{
    UgWindow* window = openMainWindow();
    ListHead items;
    ListInit(&items);
    UgItem a = item(1), b = item(2);
    ListAppend(&items, &a);
    ListAppend(&items, &b);
    const UgGadget grid = makeGrid(window, &items);
    EXPECT_EQ(users(grid), (std::vector<uint32_t>{1, 2}));
    ugChangeElement(window, grid, UG_GRID_SELECT, 1, 1);

    ListHead other;
    ListInit(&other);
    UgItem c = item(3);
    ListAppend(&other, &c);
    EXPECT_EQ(ugChangeElement(window, grid, UG_GRID_REPLACE_LIST, reinterpret_cast<intptr_t>(&other), 1), 0);
    EXPECT_EQ(users(grid), (std::vector<uint32_t>{3}));
    EXPECT_EQ(info(window, grid, UG_GRID_SELECTED), -1);

    ListHead empty;
    ListInit(&empty);
    ugChangeElement(window, grid, UG_GRID_REPLACE_LIST, reinterpret_cast<intptr_t>(&empty), 1);
    EXPECT_TRUE(users(grid).empty());
    EXPECT_EQ(info(window, grid, UG_LIST_COUNT), 0);
}

TEST_F(GuiAttributesTest, ListViewRowsUserWordsAndCounts)
{
    UgWindow* window = openMainWindow();
    ListHead empty;
    ListInit(&empty);
    const UgGadget list = ugAddListview(window, 10, 10, 400, 200, &empty, 0, 0, 0);
    std::u16string text = u"Crossfade";
    UgItem row = item(0, text.c_str());
    ugChangeElement(window, list, UG_LIST_APPEND, reinterpret_cast<intptr_t>(&row), 0);
    text = u"changed after the call";
    UgItem separator = item(2, nullptr, UG_ITEM_SEPARATOR);
    ugChangeElement(window, list, UG_LIST_APPEND, reinterpret_cast<intptr_t>(&separator), 0);
    EXPECT_EQ(ugChangeElement(window, list, UG_LIST_REDRAW, 0, 1), 0);
    EXPECT_EQ(info(window, list, UG_LIST_COUNT), 2);
    EXPECT_EQ(hxhost::gadget(list)->items[0].text, u"Crossfade") << "the row's text is the toolkit's copy";

    ugChangeElement(window, list, UG_LIST_SELECT, 1, 1);
    EXPECT_EQ(info(window, list, UG_LIST_SELECTED), 1);
    EXPECT_EQ(info(window, list, UG_LIST_SELECTED_USER), 2);

    UgItem wipe = item(0, u"Wipe");
    ugChangeElement(window, list, UG_LIST_INSERT_FIRST, reinterpret_cast<intptr_t>(&wipe), 0);
    EXPECT_EQ(info(window, list, UG_LIST_SELECTED), 2) << "the separator stays selected as rows go in above it";
    ugChangeElement(window, list, UG_LIST_SELECT, 0, 0);
    UgItem push = item(0, u"Push");
    ugChangeElement(window, list, UG_LIST_INSERT_AFTER_SELECTED, reinterpret_cast<intptr_t>(&push), 1);
    EXPECT_EQ(users(list), (std::vector<uint32_t>{0, 0, 0, 2}));
    EXPECT_EQ(hxhost::gadget(list)->items[1].text, u"Push");

    ugChangeElement(window, list, UG_LIST_DELETE, 3, 1);
    EXPECT_EQ(info(window, list, UG_LIST_COUNT), 3);
    int32_t user = 0;
    ugChangeElement(window, list, UG_LIST_SELECT, -1, 1);
    EXPECT_EQ(ugGetElementInfo(window, list, UG_LIST_SELECTED_USER, &user), -1) << "no selected row, no user word";
}

TEST_F(GuiAttributesTest, PopupSliderAndCheckBoxValues)
{
    UgWindow* window = openMainWindow();
    ListHead entries;
    ListInit(&entries);
    UgItem first = item(0, u"1 second", UG_ITEM_POPUP), second = item(0, u"2 seconds", UG_ITEM_POPUP);
    ListAppend(&entries, &first);
    ListAppend(&entries, &second);
    const UgGadget popup = ugAddPopup(window, 200, 10, 200, 30, &entries, 0x00070001, u"Duration", 0, 0);
    ListRemove(&entries, &first); // the program unlinks its entries right after
    ListRemove(&entries, &second);
    EXPECT_EQ(info(window, popup, UG_POPUP_SELECTED), 1) << "the low 16 bits choose the entry";
    EXPECT_EQ(ugChangeElement(window, popup, UG_POPUP_SELECT, 0, 1), 0);
    EXPECT_EQ(info(window, popup, UG_POPUP_SELECTED), 0);
    EXPECT_EQ(ugChangeElement(window, popup, UG_POPUP_SELECT, 2, 1), -1);
    EXPECT_EQ(hxhost::gadget(popup)->items.size(), 2u);

    UgSliderExt extension{};
    extension.valueWidth = 60;
    const UgGadget gamma = ugAddSlider(window, 200, 50, 300, 30, -100, 100, 0, u"Gamma", u"%ld", 0x130000, &extension);
    EXPECT_EQ(info(window, gamma, UG_SLIDER_VALUE), 0);
    EXPECT_EQ(ugAddSlider(window, 200, 90, 300, 30, 10, 0, 5, nullptr, nullptr, 0, nullptr), 0u) << "an empty range";

    UgGadExt* label = ugAllocGadExt();
    label->label = u"Large";
    label->labelEnabled = 1;
    const UgGadget box = ugAddCheckBox(window, 200, 130, 48, 30, 1, 0, label);
    ugFreeGadExt(label);
    EXPECT_EQ(info(window, box, UG_CHECK_STATE), 1);
    EXPECT_EQ(hxhost::gadget(box)->text, u"Large");
    ugChangeElement(window, box, UG_CHECK_SET, 0, 1);
    EXPECT_EQ(info(window, box, UG_CHECK_STATE), 0);

    int32_t value = 0;
    EXPECT_EQ(ugGetElementInfo(window, box, UG_SLIDER_VALUE, &value), -1) << "a check box has no slider value";
    EXPECT_EQ(ugChangeElement(window, gamma, UG_CHECK_SET, 1, 1), -1);
    EXPECT_EQ(hxhost::liveCounts().gadgetExtensions, 0);
}

TEST_F(GuiAttributesTest, ShortcutKeysAndHelpTextsAreKeptOnAnyGadget)
{
    UgWindow* window = openMainWindow();
    ResStrings* strings = resLoadStrings("stillset");
    ASSERT_NE(strings, nullptr);
    const UgGadget button = ugAddImageButton(window, 10, 10, 48, 32, nullptr, 0, 0);
    EXPECT_EQ(ugChangeElement(window, button, UG_SHORTCUT, 0xE002, 0), 0);
    EXPECT_EQ(ugChangeElement(window, button, UG_HELP_CATALOGUE, reinterpret_cast<intptr_t>(strings), 0), 0);
    EXPECT_EQ(ugChangeElement(window, button, UG_HELP_STRING, 79, 0), 0);
    resFreeStrings(strings); // the gadget keeps its own copy of the text
    const hxhost::GadgetView view = *hxhost::gadget(button);
    EXPECT_EQ(view.key, 0xE002u);
    EXPECT_EQ(view.helpString, 79);
    EXPECT_EQ(view.helpText, u"Move to the trash");
    EXPECT_EQ(ugChangeElement(window, button, 999, 0, 0), -1);
    EXPECT_EQ(ugChangeElement(window, button + 100, UG_SHORTCUT, 1, 0), -1) << "no such gadget";
}

} // namespace
