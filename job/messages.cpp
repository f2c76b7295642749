#include "messages.h"

#include "conversion_job.h"
#include "output_file.h"
#include "text.h"

namespace {

// In the order of MessageId.
constexpr const char16_t* MESSAGES[] = {
    u"変換中…(%d/%d)",
    u"%d個中%d個の変換が終了しました。",
    u"ファイル名: \"%s\"\n場所:[%s]\n\n名前が同じファイル(パスが違っていても)は参照できません。",
    u"ファイル名: \"%s\"\n場所:[%s]\n\nパスが長すぎるため参照できません。",
    u"変換処理を開始できませんでした。",
    u"使い方: tamsel-cli [-o DIR] [-c | --delete-internal-data] [--cmx] [--events]\n"
    u"                  [--pull [--handles SECONDS]] [--fps 24|25|30] [--drop-frame] FILE...\n"
    u"SONY BVE-9100 の EDL ファイルを修復し、\"C_\" + ファイル名 で DIR に書き出します。\n"
    u"FILE がフォルダなら、その中の .EDL ファイル (サブフォルダは含まず) を名前順に変換します。\n"
    u"  同じフォルダに元のファイルがある \"C_\" + 名前、\"CMX_\" + 名前 のファイルは、その出力と\n"
    u"  みなして変換しません (出力したフォルダでもう一度実行すると、出力が新しくなります)。\n"
    u"FILE が - なら、標準入力から 1 行に 1 つずつファイル名を読みます。空の行は読み飛ばし、\n"
    u"  先頭の UTF-8 の BOM は除きます。長すぎる行と NUL 文字を含む行は、行番号を示して\n"
    u"  変換しません。Windows では、UTF-8 として読めない行を ANSI コードページで読みます。\n"
    u"空のファイル名は指定できません (使い方の誤り)。\n"
    u"出力が同じ名前になるファイル (Windows では大文字と小文字の違いだけのものも) は、\n"
    u"2 つめ以降を変換しません。\n"
    u"  -o, --output DIR            出力フォルダ (既定: 現在のフォルダ)\n"
    u"  -c, --delete-internal-data  内部データ記述行を削除\n"
    u"      --cmx                   \"CMX_\" + ファイル名 で CMX 3600 形式の EDL も書き出す\n"
    u"      --events                \"EVENTS_\" + 拡張子を除いた名前 + \".csv\" でイベント表も\n"
    u"                              書き出す\n"
    u"      --pull                  \"PULL_\" + 拡張子を除いた名前 + \".csv\" でテープ取り出し\n"
    u"                              リストも書き出す (2 つ以上のファイルを変換したときは、\n"
    u"                              すべてをまとめた \"PULL_ALL.csv\" も)\n"
    u"      --handles SECONDS       テープ取り出しリストの前後の余裕 (0～60 秒、既定: 2)\n"
    u"      --fps 24|25|30          CMX 3600 形式、イベント表、テープ取り出しリストの\n"
    u"                              フレームレート (既定: 30)\n"
    u"      --drop-frame            ドロップフレームで数える (30 fps のときだけ)\n"
    u"  -h, --help                  この説明を表示\n"
    u"      --version               バージョンを表示\n"
    u"値をとるオプションは --output=DIR、--fps=25 のようにも書けます。\n"
    u"環境変数 SOURCE_DATE_EPOCH があれば、変換日時としてその時刻を記します。\n"
    u"終了コード: 0 すべて変換、1 変換できないファイルがあった (または一覧を出力できなかった)、\n"
    u"2 使い方の誤り、128 + シグナル番号 中断 (Ctrl+C は 130)\n",
    u"tamsel-cli: 不明なオプションです: %s",
    u"tamsel-cli: 変換する EDL ファイルを指定してください。",
    u"tamsel-cli: SOURCE_DATE_EPOCH は 1970 年からの秒数で指定してください。",
    u"tamsel-cli: 出力フォルダのパスが長すぎます。",
    u"tamsel-cli: 出力フォルダ \"%s\" がないか、フォルダではないか、書き込めません。",
    u"tamsel-cli: --fps には 24、25、30 のどれかを指定してください: %s",
    u"tamsel-cli: --fps と --drop-frame は --cmx、--events、--pull のどれかと一緒に指定して"
    u"ください。",
    u"tamsel-cli: --drop-frame は 30 fps (29.97) のときだけ指定できます。",
    u"tamsel-cli: %s には値を指定してください。",
    u"tamsel-cli: 空のファイル名は指定できません。",
    u"標準入力の %s 行目:\n\nパスが長すぎるため参照できません。",
    u"標準入力の %s 行目:\n\nNUL 文字を含むため、ファイル名として参照できません。",
    u"tamsel-cli: 標準入力のファイル名を最後まで読むことができませんでした。",
    u"tamsel-cli: --handles には 0 から 60 までの秒数を指定してください: %s",
    u"tamsel-cli: --handles は --pull と一緒に指定してください。",
};
static_assert(sizeof MESSAGES / sizeof MESSAGES[0] == MESSAGE_COUNT_OF_IDS,
              "one text for every message id");

}  // namespace

const char16_t* MessageText(MessageId id) {
    return id >= 0 && id < MESSAGE_COUNT_OF_IDS ? MESSAGES[id] : u"";
}

const char16_t* ResultMessage(JobResult code) {
    switch (code) {
        case FILE_OPEN_FAILED:
            return u"ファイル名:<%s>\n\nこのファイルを開くことができませんでした。\n"
                   u"パス・ファイル名、デバイスの状態をご確認下さい。";
        case FILE_WRITE_FAILED:
            return u"ファイル名:<%s>\n変換データを書込む事ができません。\n"
                   u"パス・ファイル名、デバイスの状態を確認して下さい。";
        case FILE_NO_MEMORY:
            return u"ファイル名:<%s>\nファイルサイズが大きすぎるため、"
                   u"メモリ領域の確保ができませんでした。";
        case FILE_CMX_FORMAT:
            return u"ファイル名:<%s>\nこのファイルはＣＭＸフォーマットです。";
        case FILE_UNKNOWN_FORMAT:
            return u"ファイル名:<%s>\n不明なフォーマットです。";
        case FILE_CMX_WRITE_FAILED:
            return u"ファイル名:<%s>\nC_%s は書き出しましたが、CMX 3600 形式の CMX_%s を"
                   u"書込む事ができません。\nパス・ファイル名、デバイスの状態を確認して下さい。";
        case FILE_OUTPUT_IS_SOURCE:
            return u"ファイル名:<%s>\n出力ファイル C_%s が変換元のファイルと同じです。\n"
                   u"変換元を上書きしないよう、このファイルは変換しません。";
        case FILE_NAME_TOO_LONG:
            return u"ファイル名:<%s>\n出力ファイル名 C_%s が長すぎるため、"
                   u"出力フォルダに書き出すことができません。";
        case FILE_CMX_OUTPUT_IS_SOURCE:
            return u"ファイル名:<%s>\n出力ファイル CMX_%s が変換元のファイルと同じです。\n"
                   u"変換元を上書きしないよう、このファイルは変換しません。";
        case FILE_CMX_NAME_TOO_LONG:
            return u"ファイル名:<%s>\n出力ファイル名 CMX_%s が長すぎるため、"
                   u"出力フォルダに書き出すことができません。";
        case FILE_CMX_WRITE_FAILED_EARLIER_KEPT:
            return u"ファイル名:<%s>\nC_%s は書き出しましたが、CMX 3600 形式の CMX_%s を"
                   u"書込む事ができません。\n出力フォルダにある CMX_%s は以前の変換で"
                   u"書き出したもので、今回の変換は含まれていません。\n"
                   u"パス・ファイル名、デバイスの状態を確認して下さい。";
        // The messages of a table: the first "%s" is the display name, the second the table's.
        case FILE_EVENTS_WRITE_FAILED:
            return u"ファイル名:<%s>\n変換したファイルは書き出しましたが、イベント表 %s を"
                   u"書込む事ができません。\n出力フォルダに同じ名前のファイルがあれば、"
                   u"それは以前の変換で書き出したものです。\n"
                   u"パス・ファイル名、デバイスの状態を確認して下さい。";
        case FILE_PULL_WRITE_FAILED:
            return u"ファイル名:<%s>\n変換したファイルは書き出しましたが、テープ取り出しリスト %s "
                   u"を"
                   u"書込む事ができません。\n出力フォルダに同じ名前のファイルがあれば、"
                   u"それは以前の変換で書き出したものです。\n"
                   u"パス・ファイル名、デバイスの状態を確認して下さい。";
        case FILE_EVENTS_OUTPUT_IS_SOURCE:
        case FILE_PULL_OUTPUT_IS_SOURCE:
            return u"ファイル名:<%s>\n出力ファイル %s が変換元のファイルと同じです。\n"
                   u"変換元を上書きしないよう、このファイルは変換しません。";
        case FILE_EVENTS_NAME_TOO_LONG:
        case FILE_PULL_NAME_TOO_LONG:
            return u"ファイル名:<%s>\n出力ファイル名 %s が長すぎるため、"
                   u"出力フォルダに書き出すことができません。";
        case FILE_EVENTS_NAME_TAKEN:
        case FILE_PULL_NAME_TAKEN:
            return u"ファイル名:<%s>\n出力ファイル %s は、一緒に変換する別のファイルの出力と"
                   u"同じ名前になります。\n別の出力を上書きしないよう、このファイルは変換しません"
                   u"。";
        // "%s" is the batch's list's own name.
        case FILE_BATCH_PULL_WRITE_FAILED:
            return u"ファイル名:<%s>\nまとめたテープ取り出しリストを書込む事ができません。\n"
                   u"パス・ファイル名、デバイスの状態を確認して下さい。";
        case FILE_CONVERTED:
        case FILE_NOT_REACHED:
            break;
    }
    return nullptr;
}

size_t FormatFileFailure(JobResult code, const char16_t* displayName, char16_t* out,
                         size_t capacity) {
    const char16_t* pattern = ResultMessage(code);
    // Every "%s" of a file's message is its display name, but in a table's message the second,
    // which is the table's name.
    char16_t table[JOB_NAME_CHARS + OUTPUT_NAME_EXTRA] = u"";
    const char16_t* prefix = TablePrefixOf(code);
    if (prefix != nullptr) {
        FormatOutputPath(u"", prefix, displayName, table, JOB_NAME_CHARS + OUTPUT_NAME_EXTRA);
    }
    const char16_t* const names[] = {displayName, prefix != nullptr ? table : displayName,
                                     displayName, displayName};
    return FillTemplate(pattern != nullptr ? pattern : u"%s", names, 4, nullptr, 0, out, capacity);
}

size_t FormatJobTally(int fileCount, int convertedCount, char16_t* out, size_t capacity) {
    const int numbers[2] = {fileCount, convertedCount};
    return FillTemplate(MessageText(MESSAGE_TALLY), nullptr, 0, numbers, 2, out, capacity);
}

size_t FormatCountText(int position, int fileCount, char16_t* out, size_t capacity) {
    const int numbers[2] = {position, fileCount};
    return FillTemplate(MessageText(MESSAGE_RUNNING_COUNT), nullptr, 0, numbers, 2, out, capacity);
}
