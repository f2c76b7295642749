// Adding files without a window: what becomes of each candidate, the counts a batch keeps, and
// the one message that lists the files a batch did not add.
#include <memory>
#include <string>

#include "add_files_rules.h"
#include "test_util.h"

namespace {

// Names as Windows compares them, which is where the window runs: letter case ignored (the
// Latin letters stand for the system's whole table here).
void FoldAsWindows(char16_t* name) {
    for (; *name != 0; ++name) {
        *name = UpperCaseUnit(*name);
    }
}

std::unique_ptr<AddBatch> BatchOver(
    std::initializer_list<std::pair<const char16_t*, const char16_t*>> rows, int targets) {
    auto batch = std::make_unique<AddBatch>();
    BeginAddBatch(batch.get(), static_cast<int>(rows.size()), targets, FoldAsWindows);
    for (const auto& row : rows) {
        NoteListedRow(batch.get(), row.first, row.second);
    }
    return batch;
}

TEST(AddFilesRules, ANameIsTakenOnceWhateverItsFolderButTheSameFileIsNoRefusal) {
    auto batch = BatchOver({{u"A.EDL", u"C:\\EDL\\0612"}, {u"b.EDL", u"D:\\x"}}, 2);
    struct Case {
        const char16_t* folder;
        const char16_t* name;
        AddDecision decision;
        AddRefusal refusal;
        const char* why;
    } cases[] = {
        {u"C:\\EDL\\0613", u"C.EDL", ADD_AS_NEW_ROW, REFUSAL_NOT_EDL, "a new name"},
        {u"C:\\EDL\\0612", u"A.EDL", ADD_ALREADY_LISTED, REFUSAL_NOT_EDL, "the very same file"},
        {u"c:\\edl\\0612", u"A.EDL", ADD_ALREADY_LISTED, REFUSAL_NOT_EDL,
         "the same folder in other letter case"},
        {u"C:\\EDL\\0613", u"A.EDL", ADD_REFUSED, REFUSAL_DUPLICATE_NAME, "another folder"},
        {u"C:\\EDL\\061", u"A.EDL", ADD_REFUSED, REFUSAL_DUPLICATE_NAME, "a folder's prefix"},
        {u"C:\\EDL\\06122", u"A.EDL", ADD_REFUSED, REFUSAL_DUPLICATE_NAME, "a longer folder"},
        {u"C:\\EDL\\0612", u"a.EDL", ADD_ALREADY_LISTED, REFUSAL_NOT_EDL,
         "the same file: Windows takes a name in other letter case for the same"},
        {u"C:\\EDL\\0613", u"a.EDL", ADD_REFUSED, REFUSAL_DUPLICATE_NAME,
         "in another folder a name in other letter case would write the same output"},
        {u"D:\\x", u"B.EDL", ADD_ALREADY_LISTED, REFUSAL_NOT_EDL, "b.EDL, the same file"},
        {u"D:\\y", u"B.edl", ADD_REFUSED, REFUSAL_DUPLICATE_NAME, "b.EDL from elsewhere"},
    };
    for (const Case& c : cases) {
        CandidateCheck check = CheckCandidate(batch.get(), c.folder, c.name);
        EXPECT_EQ(c.decision, check.decision) << c.why;
        if (c.decision == ADD_REFUSED) {
            EXPECT_EQ(c.refusal, check.refusal) << c.why;
        }
    }
}

TEST(AddFilesRules, APathTooLongForAJobIsRefusedFirst) {
    auto batch = BatchOver({{u"A.EDL", u"C:"}}, 1);
    std::u16string deep = u"C:\\" + std::u16string(JOB_PATH_CHARS - 3 - 1 - 5, u'd');
    CandidateCheck check = CheckCandidate(batch.get(), deep.c_str(), u"A.EDL");
    EXPECT_EQ(ADD_REFUSED, check.decision);
    EXPECT_EQ(REFUSAL_PATH_TOO_LONG, check.refusal);
    deep.pop_back();  // 1023 units: a duplicate name then
    EXPECT_EQ(REFUSAL_DUPLICATE_NAME, CheckCandidate(batch.get(), deep.c_str(), u"A.EDL").refusal);
    std::u16string longName(JOB_NAME_CHARS, u'n');
    EXPECT_EQ(REFUSAL_PATH_TOO_LONG, CheckCandidate(batch.get(), u"C:", longName.c_str()).refusal);
}

TEST(AddFilesRules, RowsAddedInTheBatchCountAndAreListed) {
    auto batch = BatchOver({{u"A.EDL", u"C:\\a"}}, 0);
    NoteAddedRow(batch.get(), u"B.EDL", u"C:\\b");
    NoteAddedRow(batch.get(), u"C.EDL", u"C:\\b");
    EXPECT_EQ(3, batch->rowCount);
    EXPECT_EQ(2, batch->targetCount) << "new rows are ticked; the listed row was not";
    EXPECT_EQ(2, batch->added);
    // Twice in one drop: the second is the same file, from another folder a duplicate.
    EXPECT_EQ(ADD_ALREADY_LISTED, CheckCandidate(batch.get(), u"C:\\b", u"B.EDL").decision);
    EXPECT_EQ(ADD_REFUSED, CheckCandidate(batch.get(), u"C:\\c", u"C.EDL").decision);

    // A new batch forgets the names of the last one.
    BeginAddBatch(batch.get(), 0, 0, FoldAsWindows);
    EXPECT_EQ(ADD_AS_NEW_ROW, CheckCandidate(batch.get(), u"C:\\c", u"C.EDL").decision);
    EXPECT_EQ(0, batch->refusals.count);
}

// --- The message that lists the refused files ------------------------------------------------

const RefusalTexts TEXTS = {
    u"Not added:",
    u"%s - %s",
    {u"not EDL", u"name listed", u"too long", u"missing", u"no EDL inside"},
    u"and %d more",
};

std::u16string Format(const RefusalList& list) {
    std::u16string text(REFUSAL_MESSAGE_CHARS, u'\0');
    size_t length = FormatRefusalList(&list, &TEXTS, text.data(), text.size());
    EXPECT_EQ(length, std::u16string(text.c_str()).size());
    return text.substr(0, length);
}

TEST(AddFilesRules, RefusalsAreListedOnePerLineWithTheirReason) {
    auto list = std::make_unique<RefusalList>();
    list->count = 0;
    NoteRefusal(list.get(), REFUSAL_NOT_EDL, u"MEMO.TXT");
    NoteRefusal(list.get(), REFUSAL_DUPLICATE_NAME, u"A.EDL");
    NoteRefusal(list.get(), REFUSAL_NO_EDL_IN_FOLDER, u"EMPTY");
    EXPECT_EQ(0, UnlistedRefusals(list.get()));
    EXPECT_EQ(u"Not added:\nMEMO.TXT - not EDL\nA.EDL - name listed\nEMPTY - no EDL inside",
              Format(*list));
}

TEST(AddFilesRules, AfterTwentyLinesTheRestAreCounted) {
    auto list = std::make_unique<RefusalList>();
    list->count = 0;
    std::u16string expected = u"Not added:";
    for (int k = 0; k < 23; ++k) {
        std::u16string name = u"FA.TXT";
        name[1] = static_cast<char16_t>(u'A' + k);
        NoteRefusal(list.get(), REFUSAL_NOT_EDL, name.c_str());
        if (k < MAX_LISTED_REFUSALS) {
            expected += u"\n" + name + u" - not EDL";
        }
        if (k == MAX_LISTED_REFUSALS - 1) {
            // Exactly twenty: every one named, no count.
            EXPECT_EQ(expected, Format(*list));
        }
    }
    EXPECT_EQ(23, list->count);
    EXPECT_EQ(3, UnlistedRefusals(list.get()));
    EXPECT_EQ(expected + u"\nand 3 more", Format(*list));
}

TEST(AddFilesRules, ALongNameIsCutToItsFieldWithAnEllipsis) {
    auto list = std::make_unique<RefusalList>();
    list->count = 0;
    std::u16string longName(3000, u'n');
    NoteRefusal(list.get(), REFUSAL_PATH_TOO_LONG, longName.c_str());
    std::u16string kept(list->listed[0].name);
    ASSERT_EQ(JOB_NAME_CHARS - 1, kept.size());
    EXPECT_EQ(u'…', kept.back());
    EXPECT_EQ(std::u16string(JOB_NAME_CHARS - 2, u'n'), kept.substr(0, JOB_NAME_CHARS - 2));
    // A name that fits is kept whole.
    std::u16string fits(JOB_NAME_CHARS - 1, u'f');
    NoteRefusal(list.get(), REFUSAL_PATH_TOO_LONG, fits.c_str());
    EXPECT_EQ(fits, std::u16string(list->listed[1].name));
}

TEST(AddFilesRules, TheMessageNeverRunsPastItsBuffer) {
    auto list = std::make_unique<RefusalList>();
    list->count = 0;
    for (int k = 0; k < 30; ++k) {
        NoteRefusal(list.get(), REFUSAL_FILE_MISSING, std::u16string(400, u'x').c_str());
    }
    // Twenty lines of the longest names fit the message's room whole.
    EXPECT_LT(Format(*list).size(), REFUSAL_MESSAGE_CHARS - 1);
    std::u16string small(40, u'#');
    size_t length = FormatRefusalList(list.get(), &TEXTS, small.data(), 32);
    EXPECT_EQ(31u, length);
    EXPECT_EQ(u'\0', small[31]);
    EXPECT_EQ(u'#', small[32]);
}

}  // namespace
