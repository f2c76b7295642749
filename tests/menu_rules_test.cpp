// The menu's enabling from the list's counts, its check mark, and the option switch.
#include "menu_rules.h"
#include "conversion_options.h"
#include "file_list_rules.h"
#include "job_result.h"
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

TEST(MenuRules, TheOutputFolderOpensWhenThereIsOneAndNoJobRuns) {
    EXPECT_TRUE(CanOpenOutputFolder(false, u"C:\\out\\"));
    EXPECT_FALSE(CanOpenOutputFolder(true, u"C:\\out\\")) << "while a job runs";
    EXPECT_FALSE(CanOpenOutputFolder(false, u"")) << "no desktop found, none chosen";
}

TEST(MenuRules, OnlyAConvertedRowOpensItsOutput) {
    for (int32_t result :
         {int32_t{FILE_OPEN_FAILED}, int32_t{FILE_WRITE_FAILED}, int32_t{FILE_NO_MEMORY},
          int32_t{FILE_CMX_FORMAT}, int32_t{FILE_UNKNOWN_FORMAT}, int32_t{FILE_NOT_REACHED},
          ROW_WITHOUT_RESULT}) {
        RowMenuEnabling menu = RowMenuFor(result);
        EXPECT_FALSE(menu.openOutput) << result;
        EXPECT_TRUE(menu.openSource && menu.showInFolder && menu.remove) << result;
    }
    RowMenuEnabling converted = RowMenuFor(FILE_CONVERTED);
    EXPECT_TRUE(converted.openOutput);
    EXPECT_TRUE(converted.openSource && converted.showInFolder && converted.remove);
}

}  // namespace
