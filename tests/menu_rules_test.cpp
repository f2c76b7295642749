// The menu's enabling from the list's counts, its check mark, and the option switch.
#include "menu_rules.h"
#include "conversion_options.h"
#include "test_util.h"

namespace {

TEST(MenuRules, ItemsAreEnabledByTheCounts) {
    struct Case {
        int items, targets, selected;
        bool selectAll, remove, toggle, convert;
        const char* why;
    } cases[] = {
        {0, 0, 0, false, false, false, false, "empty list: Enter, Del and Space do nothing"},
        {4, 4, 0, true, false, false, true, "rows, none selected: Del and Space do nothing"},
        {4, 4, 2, true, true, true, true, "rows selected"},
        {4, 0, 1, true, true, true, false, "every row excluded: Enter does nothing"},
        {4, 1, 4, true, true, true, true, "one target left"},
    };
    for (const Case& c : cases) {
        MenuEnabling menu = MenuEnablingFromCounts(c.items, c.targets, c.selected, 0);
        EXPECT_EQ(c.selectAll, menu.selectAll) << c.why;
        EXPECT_EQ(c.remove, menu.remove) << c.why;
        EXPECT_EQ(c.toggle, menu.toggle) << c.why;
        EXPECT_EQ(c.convert, menu.convert) << c.why;
        EXPECT_FALSE(menu.optionChecked) << c.why;
    }
}

TEST(MenuRules, TheOptionIsCheckedExactlyWhenItsBitIsSet) {
    EXPECT_TRUE(MenuEnablingFromCounts(0, 0, 0, OPTION_DELETE_INTERNAL_DATA).optionChecked);
    EXPECT_TRUE(MenuEnablingFromCounts(0, 0, 0, 0xFFFFFFFFu).optionChecked);
    EXPECT_FALSE(MenuEnablingFromCounts(3, 3, 3, ~OPTION_DELETE_INTERNAL_DATA).optionChecked);
}

TEST(MenuRules, TheSwitchFlipsOnlyItsBit) {
    EXPECT_EQ(0x2u, OPTION_DELETE_INTERNAL_DATA);
    EXPECT_EQ(0x2u, SwitchDeleteInternalData(0));
    EXPECT_EQ(0u, SwitchDeleteInternalData(0x2));
    EXPECT_EQ(0x2u, SwitchDeleteInternalData(SwitchDeleteInternalData(0x2)));
    EXPECT_EQ(0x41u, SwitchDeleteInternalData(0x43));
}

}  // namespace
