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

TEST(MenuRules, ARowsMenuOpensOnlyWhatTheLastJobWroteAndIsStillThere) {
    struct Case {
        int32_t outcome;
        bool exported, outputExists, exportExists;
        bool openOutput, openExport;
        const char* why;
    } cases[] = {
        {FILE_CONVERTED, false, true, false, true, false, "converted, no export"},
        {FILE_CONVERTED, false, true, true, true, false,
         "a CMX file from an earlier job is not this job's"},
        {FILE_CONVERTED, true, true, true, true, true, "converted with the export"},
        {FILE_CONVERTED, true, false, true, false, true, "the converted file gone since"},
        {FILE_CONVERTED, true, true, false, true, false, "the export gone since"},
        {FILE_CMX_WRITE_FAILED, true, true, false, true, false,
         "only the export failed: the converted file was written"},
        {FILE_CMX_WRITE_FAILED, true, true, true, true, false,
         "an earlier CMX file kept where the export failed"},
        {FILE_CMX_FORMAT, false, true, true, false, false, "refused: nothing of this job"},
        {FILE_WRITE_FAILED, true, true, true, false, false, "nothing written"},
        {FILE_OPEN_FAILED, false, true, false, false, false, "nothing written"},
        {FILE_NOT_REACHED, false, true, true, false, false, "not reached"},
        {ROW_WITHOUT_RESULT, false, true, true, false, false, "no job took the row"},
    };
    for (const Case& c : cases) {
        RowMenuEnabling menu = RowMenuFor(c.outcome, c.exported, c.outputExists, c.exportExists);
        EXPECT_EQ(c.openOutput, menu.openOutput) << c.why;
        EXPECT_EQ(c.openOutput, menu.showOutputInFolder) << c.why;
        EXPECT_EQ(c.openExport, menu.openExport) << c.why;
        EXPECT_TRUE(menu.openSource && menu.showInFolder && menu.remove) << c.why;
        EXPECT_EQ(c.outcome == FILE_CONVERTED || c.outcome == FILE_CMX_WRITE_FAILED,
                  OutputWritten(c.outcome))
            << c.why;
    }
}

}  // namespace
