#include "add_files_rules.h"

#include "file_list_rules.h"
#include "file_names.h"
#include "job_result.h"

namespace {

// `text` into `field`, cut with a closing "…" when it does not fit.
void CopyCut(char16_t* field, size_t capacity, const char16_t* text) {
    size_t length = Utf16Length(text);
    if (length < capacity) {
        for (size_t k = 0; k <= length; ++k) {
            field[k] = text[k];
        }
        return;
    }
    for (size_t k = 0; k + 2 < capacity; ++k) {
        field[k] = text[k];
    }
    field[capacity - 2] = u'…';
    field[capacity - 1] = 0;
}

// Appends a filled pattern at `*length`, keeping the text terminated.
void Append(const char16_t* pattern, const char16_t* const* texts, size_t textCount,
            const int* numbers, size_t numberCount, char16_t* out, size_t capacity,
            size_t* length) {
    if (*length + 1 >= capacity) {
        return;
    }
    *length += FillTemplate(pattern, texts, textCount, numbers, numberCount, out + *length,
                            capacity - *length);
}

}  // namespace

bool IsEdlFileName(const char16_t* name) {
    const char16_t* extension = nullptr;
    for (const char16_t* at = name; *at != 0; ++at) {
        if (*at == u'.') {
            extension = at + 1;
        }
    }
    if (extension == nullptr) {
        return false;
    }
    const char16_t* edl = u"EDL";
    for (; *extension != 0 && *edl != 0; ++extension, ++edl) {
        if (UpperCaseUnit(*extension) != *edl) {
            return false;
        }
    }
    return *extension == 0 && *edl == 0;
}

void BeginAddBatch(AddBatch* batch, int rowCount, int targetCount, NameFold fold) {
    batch->fold = fold;
    batch->folderOfName.clear();
    batch->folderOfName.reserve(static_cast<size_t>(rowCount > 0 ? rowCount : 0) + 256);
    batch->rowCount = rowCount;
    batch->targetCount = targetCount;
    batch->added = 0;
    batch->refusals.count = 0;
}

void NoteListedRow(AddBatch* batch, const char16_t* name, const char16_t* folder) {
    // The first row of a name holds it: rows added later under that name were refused.
    batch->folderOfName.emplace(FoldedName(name, batch->fold), folder);
}

CandidateCheck CheckCandidate(const AddBatch* batch, const char16_t* folder, const char16_t* name) {
    if (!FitsJobFields(Utf16Length(folder), Utf16Length(name))) {
        return CandidateCheck{ADD_REFUSED, REFUSAL_PATH_TOO_LONG};
    }
    auto listed = batch->folderOfName.find(FoldedName(name, batch->fold));
    if (listed == batch->folderOfName.end()) {
        return CandidateCheck{ADD_AS_NEW_ROW, REFUSAL_NOT_EDL};
    }
    if (SameFolderPath(listed->second.c_str(), folder)) {
        return CandidateCheck{ADD_ALREADY_LISTED, REFUSAL_NOT_EDL};
    }
    return CandidateCheck{ADD_REFUSED, REFUSAL_DUPLICATE_NAME};
}

void NoteAddedRow(AddBatch* batch, const char16_t* name, const char16_t* folder) {
    batch->folderOfName.emplace(FoldedName(name, batch->fold), folder);
    ++batch->rowCount;
    ++batch->targetCount;
    ++batch->added;
}

void NoteRefusal(RefusalList* list, AddRefusal reason, const char16_t* name) {
    if (list->count < MAX_LISTED_REFUSALS) {
        ListedRefusal& entry = list->listed[list->count];
        entry.reason = reason;
        CopyCut(entry.name, JOB_NAME_CHARS, name);
    }
    ++list->count;
}

int UnlistedRefusals(const RefusalList* list) {
    return list->count > MAX_LISTED_REFUSALS ? list->count - MAX_LISTED_REFUSALS : 0;
}

size_t FormatRefusalList(const RefusalList* list, const RefusalTexts* texts, char16_t* out,
                         size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    out[0] = 0;
    size_t length = 0;
    Append(texts->heading, nullptr, 0, nullptr, 0, out, capacity, &length);
    int listed = list->count < MAX_LISTED_REFUSALS ? list->count : MAX_LISTED_REFUSALS;
    for (int k = 0; k < listed; ++k) {
        const ListedRefusal& entry = list->listed[k];
        const char16_t* parts[2] = {entry.name, texts->reasons[entry.reason]};
        Append(u"\n", nullptr, 0, nullptr, 0, out, capacity, &length);
        Append(texts->linePattern, parts, 2, nullptr, 0, out, capacity, &length);
    }
    int unlisted = UnlistedRefusals(list);
    if (unlisted > 0) {
        Append(u"\n", nullptr, 0, nullptr, 0, out, capacity, &length);
        Append(texts->morePattern, nullptr, 0, &unlisted, 1, out, capacity, &length);
    }
    return length;
}
