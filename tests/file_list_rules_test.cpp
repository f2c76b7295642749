// The file list's rules: convert targets, sort directions, the buttons from the counts, the
// click that suspends Convert, the update time, the full path and the job filled from rows.
#include <algorithm>
#include <string>
#include <vector>

#include "conversion_options.h"
#include "file_list_rules.h"
#include "test_util.h"

namespace {

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; *text != 0; ++text) {
        out += *text < 0x80 ? static_cast<char>(*text) : '?';
    }
    return out;
}

TEST(FileListRules, EveryRowButAnExcludedOneIsAConvertTarget) {
    EXPECT_TRUE(IsConvertTarget(STATE_IMAGE_TARGET));
    EXPECT_FALSE(IsConvertTarget(STATE_IMAGE_EXCLUDED));
    EXPECT_TRUE(IsConvertTarget(0)) << "a row without a state image counts";
    EXPECT_TRUE(IsConvertTarget(3));
}

TEST(FileListRules, EachClickOnAHeaderTurnsThatColumnRound) {
    EXPECT_EQ(SORT_DIRECTION_ASCENDING, NextSortDirection(SORT_DIRECTION_NONE))
        << "first click sorts ascending";
    EXPECT_EQ(SORT_DIRECTION_DESCENDING, NextSortDirection(SORT_DIRECTION_ASCENDING));
    EXPECT_EQ(SORT_DIRECTION_ASCENDING, NextSortDirection(SORT_DIRECTION_DESCENDING));

    // Name, then Update, then Name again: each column keeps its own direction, so the name
    // column is now descending.
    int directions[FILE_LIST_COLUMNS] = {};
    for (int column : {COLUMN_NAME, COLUMN_UPDATE, COLUMN_NAME}) {
        directions[column] = NextSortDirection(directions[column]);
    }
    EXPECT_EQ(SORT_DIRECTION_DESCENDING, directions[COLUMN_NAME]);
    EXPECT_EQ(SORT_DIRECTION_ASCENDING, directions[COLUMN_UPDATE]);
    EXPECT_EQ(SORT_DIRECTION_NONE, directions[COLUMN_LOCATION]);
}

TEST(FileListRules, DescendingTurnsTheTextComparisonRound) {
    struct Case {
        int comparison, direction, expected;
    } cases[] = {
        {-1, SORT_DIRECTION_ASCENDING, -1},
        {1, SORT_DIRECTION_ASCENDING, 1},
        {0, SORT_DIRECTION_ASCENDING, 0},
        {-1, SORT_DIRECTION_DESCENDING, 1},
        {1, SORT_DIRECTION_DESCENDING, -1},
        {0, SORT_DIRECTION_DESCENDING, 0},
        // Any magnitude, as a comparison may give; the most negative one too.
        {-40, SORT_DIRECTION_DESCENDING, 1},
        {INT32_MIN, SORT_DIRECTION_DESCENDING, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, DirectedComparison(c.comparison, c.direction))
            << c.comparison << " direction " << c.direction;
    }
}

TEST(FileListRules, ButtonsAfterAChangeFollowTheCounts) {
    struct Case {
        int items;
        bool selected;
        int targets;
        bool toggle, selectAll, remove, convert;
        const char* why;
    } cases[] = {
        {0, false, 0, false, false, false, false, "empty list"},
        {3, false, 3, false, true, false, true, "rows, none selected"},
        {3, true, 3, true, true, true, true, "rows, one selected"},
        {3, true, 0, true, true, true, false, "every row excluded"},
        {0, false, 2, false, false, false, false, "a stale target count without rows"},
    };
    for (const Case& c : cases) {
        ListButtons buttons = ButtonsAfterChange(c.items, c.selected, c.targets);
        EXPECT_EQ(c.toggle, buttons.toggle) << c.why;
        EXPECT_EQ(c.selectAll, buttons.selectAll) << c.why;
        EXPECT_EQ(c.remove, buttons.remove) << c.why;
        EXPECT_EQ(c.convert, buttons.convert) << c.why;
        EXPECT_EQ(c.items, buttons.shownCount) << c.why;
    }
}

TEST(FileListRules, ButtonsDuringADeleteCountTheRowAsGone) {
    struct Case {
        int items;
        int lastTargets;
        bool selectAll, convert;
        int shown;
        const char* why;
    } cases[] = {
        {1, 1, false, false, 0, "the last row goes"},
        {4, 2, true, true, 3, "rows remain with targets"},
        {4, 0, true, false, 3, "rows remain, the last count had no target"},
    };
    for (const Case& c : cases) {
        DeleteButtons buttons = ButtonsDuringDelete(c.items, c.lastTargets);
        EXPECT_EQ(c.selectAll, buttons.selectAll) << c.why;
        EXPECT_EQ(c.convert, buttons.convert) << c.why;
        EXPECT_EQ(c.shown, buttons.shownCount) << c.why;
    }
}

TEST(FileListRules, OnlyAClickInTheTopCheckBoxCornerSuspendsConvert) {
    struct Case {
        int x, y;
        bool suspends;
    } cases[] = {
        {2, 0, true},   {20, 14, true},  {11, 7, true},   {2, -3, true},    {1, 5, false},
        {21, 5, false}, {10, 15, false}, {30, 40, false}, {10, 200, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.suspends, ClickSuspendsConvert(c.x, c.y)) << c.x << "," << c.y;
    }
}

TEST(FileListRules, UpdateTimeIsZeroPadded) {
    struct Case {
        int year, month, day, hour, minute;
        const char* text;
    } cases[] = {
        {2019, 2, 26, 9, 5, "2019/02/26 09:05"},
        {1999, 12, 31, 23, 59, "1999/12/31 23:59"},
        {601, 1, 1, 0, 0, "0601/01/01 00:00"},
        {30827, 12, 31, 23, 59, "30827/12/31 23:59"},  // the latest year a file time gives
    };
    for (const Case& c : cases) {
        char16_t text[UPDATE_TIME_CHARS];
        FormatUpdateTime(CalendarTime{c.year, c.month, c.day, c.hour, c.minute, 0}, text,
                         UPDATE_TIME_CHARS);
        EXPECT_EQ(c.text, Narrow(text));
    }
    // Never past its buffer: cut and terminated.
    char16_t small[8] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
    FormatUpdateTime(CalendarTime{2019, 2, 26, 9, 5, 0}, small, 6);
    EXPECT_EQ("2019/", Narrow(small));
    EXPECT_EQ(u'x', small[6]);
}

TEST(FileListRules, FullPathMustFitTheJob) {
    // JOB_PATH_CHARS - 1 units of full path at most (folder, "\", name), and 259 of name.
    const size_t longest = JOB_PATH_CHARS - 1;
    EXPECT_TRUE(FitsJobFields(longest - 1 - 259, 259));
    EXPECT_FALSE(FitsJobFields(longest - 259, 259)) << "one unit more than the job holds";
    EXPECT_TRUE(FitsJobFields(longest - 1, 0));
    EXPECT_FALSE(FitsJobFields(longest, 0));
    EXPECT_FALSE(FitsJobFields(3, 260)) << "a name longer than a display name";
    EXPECT_FALSE(FitsJobFields(SIZE_MAX, 1)) << "no wrap-around";
    EXPECT_TRUE(FitsJobFields(0, 1));
}

// --- The job filled from the rows -----------------------------------------------------------

struct Row {
    int stateImage;
    std::u16string name;
    std::u16string location;
};

void ReadRow(void* context, int index, ListedFile* file) {
    const Row& row = (*static_cast<std::vector<Row>*>(context))[static_cast<size_t>(index)];
    file->stateImage = row.stateImage;
    std::copy(row.name.c_str(), row.name.c_str() + row.name.size() + 1, file->name);
    std::copy(row.location.c_str(), row.location.c_str() + row.location.size() + 1, file->location);
}

struct JobFill : ::testing::Test {
    void SetUp() override {
        job = new ConversionJob();
        job->fileCount = 99;
        job->options = 0x40;
    }
    void TearDown() override { delete job; }
    JobFillResult Fill(std::vector<Row>& rows, uint32_t options) {
        return FillJobFromList(job, static_cast<int>(rows.size()), ReadRow, &rows, options,
                               rowOfFile);
    }
    ConversionJob* job = nullptr;
    int rowOfFile[MAX_JOB_FILES] = {};
};

TEST_F(JobFill, TakesTheTickedRowsInTheOrderShown) {
    // Five rows, the second and fourth excluded.
    std::vector<Row> rows = {
        {STATE_IMAGE_TARGET, u"E.EDL", u"C:\\a"},   {STATE_IMAGE_EXCLUDED, u"D.EDL", u"C:\\b"},
        {STATE_IMAGE_TARGET, u"C.EDL", u"D:\\c d"}, {STATE_IMAGE_EXCLUDED, u"B.EDL", u"C:\\a"},
        {0, u"A.EDL", u"\\\\server\\share"},
    };
    job->results[0] = RESULT_CONVERTED;  // from an earlier job
    job->results[2] = RESULT_CMX_FORMAT;
    JobFillResult result = Fill(rows, OPTION_DELETE_INTERNAL_DATA);
    ASSERT_EQ(JOB_FILLED, result.outcome);
    ASSERT_EQ(3, job->fileCount);
    // Each file knows its row, and has no outcome yet.
    EXPECT_EQ(0, rowOfFile[0]);
    EXPECT_EQ(2, rowOfFile[1]);
    EXPECT_EQ(4, rowOfFile[2]);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(RESULT_NOT_REACHED, job->results[k]) << k;
    }
    EXPECT_EQ(OPTION_DELETE_INTERNAL_DATA, job->options);
    const char16_t* paths[] = {u"C:\\a\\E.EDL", u"D:\\c d\\C.EDL", u"\\\\server\\share\\A.EDL"};
    const char16_t* names[] = {u"E.EDL", u"C.EDL", u"A.EDL"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(std::u16string(paths[k]), std::u16string(job->sourcePaths[k])) << k;
        EXPECT_EQ(std::u16string(names[k]), std::u16string(job->displayNames[k])) << k;
    }
}

TEST_F(JobFill, NoTargetsGiveAnEmptyJobWithTheOptions) {
    std::vector<Row> rows = {{STATE_IMAGE_EXCLUDED, u"A.EDL", u"C:"}};
    ASSERT_EQ(JOB_FILLED, Fill(rows, 0).outcome);
    EXPECT_EQ(0, job->fileCount);
    EXPECT_EQ(0u, job->options);
}

TEST_F(JobFill, TakesAsManyFilesAsAJobHoldsAndRefusesOneMore) {
    std::vector<Row> rows;
    for (int k = 0; k < MAX_JOB_FILES; ++k) {
        std::u16string name = u"F.EDL";
        name.insert(1, 1, static_cast<char16_t>(u'0' + k % 10));
        rows.push_back({STATE_IMAGE_TARGET, name, u"C:\\many"});
    }
    rows.push_back({STATE_IMAGE_EXCLUDED, u"OUT.EDL", u"C:\\many"});
    ASSERT_EQ(JOB_FILLED, Fill(rows, 0).outcome);
    EXPECT_EQ(MAX_JOB_FILES, job->fileCount);
    EXPECT_EQ(MAX_JOB_FILES - 1, rowOfFile[MAX_JOB_FILES - 1]);

    // One more target: refused before the job is touched past its entries, and the count and
    // options stay as they were.
    rows.push_back({STATE_IMAGE_TARGET, u"ONE_MORE.EDL", u"C:\\many"});
    job->fileCount = 7;
    job->options = 0x40;
    JobFillResult result = Fill(rows, OPTION_DELETE_INTERNAL_DATA);
    EXPECT_EQ(JOB_TOO_MANY_FILES, result.outcome);
    EXPECT_EQ(MAX_JOB_FILES + 1, result.row);
    EXPECT_EQ(7, job->fileCount);
    EXPECT_EQ(0x40u, job->options);
}

TEST_F(JobFill, RefusesARowWhosePathDoesNotFit) {
    std::u16string longFolder(JOB_PATH_CHARS - 6, u'f');  // with "\" and "A.EDL": 1024 units
    std::vector<Row> rows = {
        {STATE_IMAGE_TARGET, u"A.EDL", u"C:"},
        {STATE_IMAGE_EXCLUDED, u"A.EDL", longFolder},  // excluded rows are not looked at
        {STATE_IMAGE_TARGET, u"A.EDL", longFolder},
    };
    JobFillResult result = Fill(rows, 0);
    EXPECT_EQ(JOB_PATH_TOO_LONG, result.outcome);
    EXPECT_EQ(2, result.row);
    EXPECT_EQ(99, job->fileCount);

    rows[2].location.pop_back();  // 1023 units fit
    result = Fill(rows, 0);
    ASSERT_EQ(JOB_FILLED, result.outcome);
    EXPECT_EQ(2, job->fileCount);
    EXPECT_EQ(JOB_PATH_CHARS - 1, std::u16string(job->sourcePaths[1]).size());
}

// --- A row's outcome -------------------------------------------------------------------------

TEST(FileListRules, EveryOutcomeHasItsOwnTextAndFailuresTheErrorIcon) {
    const int32_t failures[] = {RESULT_OPEN_FAILED,    RESULT_WRITE_FAILED,
                                RESULT_NO_MEMORY,      RESULT_CMX_FORMAT,
                                RESULT_UNKNOWN_FORMAT, RESULT_OUTPUT_IS_SOURCE,
                                RESULT_NAME_TOO_LONG,  RESULT_CMX_WRITE_FAILED};
    std::vector<unsigned> texts;
    for (int32_t code : failures) {
        ResultLook look = LookOfResult(code);
        EXPECT_EQ(ROW_ICON_FAILED, look.icon) << code;
        EXPECT_NE(0u, look.textId) << code;
        texts.push_back(look.textId);
    }
    ResultLook converted = LookOfResult(RESULT_CONVERTED);
    EXPECT_EQ(ROW_ICON_CONVERTED, converted.icon);
    texts.push_back(converted.textId);
    // Not reached after a cancel: said so, but nothing failed for the file.
    ResultLook notReached = LookOfResult(RESULT_NOT_REACHED);
    EXPECT_EQ(ROW_ICON_FILE, notReached.icon);
    EXPECT_NE(0u, notReached.textId);
    texts.push_back(notReached.textId);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts.end(), std::adjacent_find(texts.begin(), texts.end()))
        << "two outcomes read the same";

    ResultLook none = LookOfResult(ROW_WITHOUT_RESULT);
    EXPECT_EQ(0u, none.textId) << "a row no job took stays empty";
    EXPECT_EQ(ROW_ICON_FILE, none.icon);
}

TEST(FileListRules, AnOutcomeNotKnownHereStillShowsAsAFailure) {
    for (int32_t code : {int32_t{RESULT_JOB_DONE}, 40, -9}) {
        ResultLook look = LookOfResult(code);
        EXPECT_EQ(ROW_ICON_FAILED, look.icon) << code;
        EXPECT_NE(0u, look.textId) << code;
        EXPECT_NE(LookOfResult(RESULT_CONVERTED).textId, look.textId) << code;
    }
}

TEST(FileListRules, AFolderIsTheSameWhateverItsLetterCase) {
    EXPECT_TRUE(SameFolderPath(u"C:\\Users\\ed\\Desktop\\", u"c:\\users\\ED\\desktop\\"));
    EXPECT_TRUE(SameFolderPath(u"", u""));
    EXPECT_FALSE(SameFolderPath(u"C:\\out\\", u"C:\\out2\\"));
    EXPECT_FALSE(SameFolderPath(u"C:\\out", u"C:\\out\\"));
    EXPECT_FALSE(SameFolderPath(u"C:\\out\\", u"C:\\out"));
}

TEST(FileListRules, OpeningTheOutputFolderSelectsTheLastFileWrittenThere) {
    const char16_t* last = u"D:\\out\\C_B.EDL";
    EXPECT_EQ(last, OutputToSelect(u"D:\\out\\", u"D:\\out\\", last));
    EXPECT_EQ(last, OutputToSelect(u"d:\\OUT\\", u"D:\\out\\", last));
    EXPECT_EQ(nullptr, OutputToSelect(u"E:\\new\\", u"D:\\out\\", last))
        << "another folder chosen since the job: the folder alone";
    EXPECT_EQ(nullptr, OutputToSelect(u"D:\\out\\", u"D:\\out\\", u"")) << "nothing written";
    EXPECT_EQ(nullptr, OutputToSelect(u"D:\\out\\", u"", u"")) << "no job yet";
}

}  // namespace
