// Rules of adding files that need no window: what becomes of each candidate file, the counts
// kept while a batch of files is added (a drop, or the open dialog's choice), and the one
// message that lists the files a batch did not add.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

#include "conversion_job.h"
#include "file_names.h"

// Why a file was not added. The order is that of the string table's short reasons.
enum AddRefusal {
    REFUSAL_NOT_EDL,           // its extension is not "EDL"
    REFUSAL_DUPLICATE_NAME,    // a file of the same name from another folder is listed
    REFUSAL_PATH_TOO_LONG,     // folder, "\" and name do not fit a job's fields
    REFUSAL_FILE_MISSING,      // the file cannot be found
    REFUSAL_NO_EDL_IN_FOLDER,  // a dropped folder holds no EDL file directly inside it
    ADD_REFUSAL_KINDS,
};

enum AddDecision {
    ADD_AS_NEW_ROW,
    // The very same file (same folder and name) is listed already: nothing to add, nothing to
    // say.
    ADD_ALREADY_LISTED,
    ADD_REFUSED,
};

struct CandidateCheck {
    AddDecision decision;
    AddRefusal refusal;  // when refused
};

// At most this many refused files are named in the message; the rest are counted.
constexpr int MAX_LISTED_REFUSALS = 20;

struct ListedRefusal {
    AddRefusal reason;
    char16_t name[JOB_NAME_CHARS];  // cut to the field, ending with "…", when longer
};

// The refusals of one batch, in the order they happened.
struct RefusalList {
    int count;
    ListedRefusal listed[MAX_LISTED_REFUSALS];
};

// The list as one batch sees it: each listed name with the folder of its row (for the duplicate
// test), and the counts the file count label and the buttons show. Filled once from the rows
// when the batch starts and kept up to date as rows are added, so that nothing is recounted
// for each file; the window shows the counts once, at the end.
struct AddBatch {
    NameFold fold;  // how the file system compares names (FoldFileName in the window)
    std::unordered_map<std::u16string, std::u16string> folderOfName;  // keyed by folded name
    int rowCount;
    int targetCount;
    int added;
    RefusalList refusals;
};

// Whether a file named `name` is an EDL file: its extension, the text after the last ".", is
// "EDL" in any letter case. The name itself is left as it is, so that a file refused for it is
// named as the user named it.
bool IsEdlFileName(const char16_t* name);

// Starts a batch over a list that holds `rowCount` rows, `targetCount` of them ticked, whose
// names compare as `fold` gives them; then NoteListedRow for each of its rows.
void BeginAddBatch(AddBatch* batch, int rowCount, int targetCount, NameFold fold);
void NoteListedRow(AddBatch* batch, const char16_t* name, const char16_t* folder);

// Whether the file `name` in `folder` becomes a row: it must fit a job and its name must not
// be listed from another folder. The same folder differing only in letter case is the same
// folder, as Windows sees it; names compare as the batch's `fold` gives them, so on Windows
// "a.EDL" is "A.EDL" (their outputs would be one file).
CandidateCheck CheckCandidate(const AddBatch* batch, const char16_t* folder, const char16_t* name);

// A row was added for the file: ticked, so it counts as a convert target.
void NoteAddedRow(AddBatch* batch, const char16_t* name, const char16_t* folder);

// Records a refused file. The first MAX_LISTED_REFUSALS are kept with their name; the others
// are only counted.
void NoteRefusal(RefusalList* list, AddRefusal reason, const char16_t* name);

// How many refusals the message does not name: told as "ほか n 件".
int UnlistedRefusals(const RefusalList* list);

// The texts a refusal list is written with (from the string table): a heading, the pattern of
// one line ("%s" the name, then "%s" the reason), the short reason of each AddRefusal, and the
// pattern of the last line ("%d" the refusals not named).
struct RefusalTexts {
    const char16_t* heading;
    const char16_t* linePattern;
    const char16_t* reasons[ADD_REFUSAL_KINDS];
    const char16_t* morePattern;
};

// Room for the whole message: the heading, twenty lines with the longest names and the last line.
constexpr size_t REFUSAL_MESSAGE_CHARS = 8192;

// The message that names several refused files: the heading, one line per listed refusal, and
// the count of the others when there are any. Returns the length written.
size_t FormatRefusalList(const RefusalList* list, const RefusalTexts* texts, char16_t* out,
                         size_t capacity);
