#include "job_result.h"

const char16_t* JobResultTemplate(JobResult code) {
    switch (code) {
        case RESULT_OPEN_FAILED:
            return u"ファイル名:<%s>\n\nこのファイルを開くことができませんでした。\n"
                   u"パス・ファイル名、デバイスの状態をご確認下さい。";
        case RESULT_WRITE_FAILED:
            return u"ファイル名:<%s>\n変換データを書込む事ができません。\n"
                   u"パス・ファイル名、デバイスの状態を確認して下さい。";
        case RESULT_NO_MEMORY:
            return u"ファイル名:<%s>\nファイルサイズが大きすぎるため、"
                   u"メモリ領域の確保ができませんでした。\n";
        case RESULT_CMX_FORMAT:
            return u"ファイル名:<%s>\nこのファイルはＣＭＸフォーマットです。";
        case RESULT_UNKNOWN_FORMAT:
            return u"ファイル名:<%s>\n不明なフォーマットです。";
        case RESULT_JOB_DONE:
            return u"%d個中%d個の変換が終了しました。";
        case RESULT_CONVERTED:
            break;
    }
    return nullptr;
}

namespace {

struct TextSink {
    char16_t* out;
    size_t capacity;
    size_t length;
};

void Put(TextSink* sink, char16_t unit) {
    if (sink->length + 1 < sink->capacity) {
        sink->out[sink->length++] = unit;
    }
}

// `number` in decimal, with leading zeros up to `width` digits.
void PutNumber(TextSink* sink, int number, int width) {
    char16_t digits[16];
    size_t count = 0;
    // Work in unsigned so that the most negative number has a magnitude too.
    unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : number;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count < static_cast<size_t>(width) && count < sizeof digits / sizeof digits[0]) {
        digits[count++] = u'0';
    }
    if (number < 0) {
        Put(sink, u'-');
    }
    while (count > 0) {
        Put(sink, digits[--count]);
    }
}

}  // namespace

size_t FillTemplate(const char16_t* pattern, const char16_t* const* texts, size_t textCount,
                    const int* numbers, size_t numberCount, char16_t* out, size_t capacity) {
    TextSink sink{out, capacity, 0};
    size_t nextText = 0;
    size_t nextNumber = 0;
    for (const char16_t* p = pattern; *p != 0; ++p) {
        if (p[0] == u'%' && p[1] == u's') {
            const char16_t* text = nextText < textCount ? texts[nextText++] : u"";
            for (; *text != 0; ++text) {
                Put(&sink, *text);
            }
            ++p;
        } else if (p[0] == u'%' && p[1] == u'd') {
            PutNumber(&sink, nextNumber < numberCount ? numbers[nextNumber++] : 0, 0);
            ++p;
        } else if (p[0] == u'%' && p[1] == u'0' && p[2] >= u'1' && p[2] <= u'9' && p[3] == u'd') {
            PutNumber(&sink, nextNumber < numberCount ? numbers[nextNumber++] : 0, p[2] - u'0');
            p += 3;
        } else {
            Put(&sink, *p);
        }
    }
    if (capacity > 0) {
        out[sink.length] = 0;
    }
    return sink.length;
}

size_t FormatFileFailure(JobResult code, const char16_t* displayName, char16_t* out,
                         size_t capacity) {
    const char16_t* pattern = JobResultTemplate(code);
    if (pattern == nullptr || code == RESULT_JOB_DONE) {
        pattern = u"%s";
    }
    return FillTemplate(pattern, &displayName, 1, nullptr, 0, out, capacity);
}

size_t FormatJobTally(int fileCount, int convertedCount, char16_t* out, size_t capacity) {
    const int numbers[2] = {fileCount, convertedCount};
    return FillTemplate(JobResultTemplate(RESULT_JOB_DONE), nullptr, 0, numbers, 2, out, capacity);
}
