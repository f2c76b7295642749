// The compiled resources, read back as the program finds them: strings, the menu, the
// accelerators, the three dialog templates, the icons, the manifest and the version of both
// programs.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gui_test_util.h"
#include "resource.h"

namespace {

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

std::wstring LoadText(UINT id) {
    wchar_t text[512];
    int length = LoadStringW(Instance(), id, text, 512);
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

TEST(Resources, Strings) {
    struct Case {
        UINT id;
        const wchar_t* text;
    } cases[] = {
        {IDS_APP_TITLE, L"文字化けタムセル for SONY BVE-9100 EDL Ver 3.0.1"},
        {IDS_WINDOW_CLASS, L"_GUI"},
        {IDS_APP_NAME, L"文字化けタムセル"},
        {IDS_MESSAGE_CAPTION, L"タムセル"},
        {IDS_ALREADY_RUNNING, L"すでに起動しています。"},
        {IDS_NO_DESKTOP_FOLDER,
         L"デフォルトの保存先であるデスクトップの場所が取得できませんでした。\n"
         L"メニューから保存先を設定してください。"},
        {IDS_JOB_NOT_STARTED, L"変換処理を開始できませんでした。"},
        {IDS_FILE_COUNT, L"ファイル参照数:%d"},
        {IDS_COLUMN_NAME, L"EDL File(s)"},
        {IDS_COLUMN_UPDATE, L"Update"},
        {IDS_COLUMN_LOCATION, L"Location"},
        {IDS_ABOUT_CONTACT, L"support@tamsel.example"},
        {IDS_ABOUT_AUTHOR, L"Tamsel Project"},
        {IDS_ADD_FILES_CAPTION, L"ＥＤＬファイルの参照"},
        {IDS_DROP_CAPTION, L"ファイル参照"},
        {IDS_DROP_LIMIT, L"一度にドラッグできるファイル参照数は%dまでです。"},
        {IDS_NOT_EDL, L"ファイル名: \"%s\"\n\n拡張子が EDL ではありません。"},
        {IDS_DUPLICATE_NAME,
         L"ファイル名: \"%s\"\n場所:[%s]\n\n"
         L"名前が同じファイル(パスが違っていても)は参照できません。"},
        {IDS_PATH_TOO_LONG, L"ファイル名: \"%s\"\n場所:[%s]\n\nパスが長すぎるため参照できません。"},
        {IDS_FILE_MISSING, L"ファイル名: \"%s\"\n場所:[%s]\n\nファイルが見つかりません。"},
        {IDS_TOO_MANY_SELECTED,
         L"選択したファイルが多すぎます。\n一度に選択するファイルを減らしてください。"},
        {IDS_OPEN_FILTER_NAME, L"SONY BVE-9100 EDL(*.EDL)"},
        {IDS_OPEN_FILTER_PATTERN, L"*.edl"},
        {IDS_OPEN_DEFAULT_EXTENSION, L"EDL"},
        {IDS_TOO_MANY_TARGETS,
         L"一度に変換できるファイル数は%d個までです。\n変換対象を減らしてください。"},
        {IDS_CHOOSE_FOLDER_TITLE, L"変換したＥＤＬの保存先を選択してください。"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::wstring(c.text), LoadText(c.id)) << "string " << c.id;
    }
}

TEST(Resources, MenuHasEveryCaptionAndCommand) {
    struct Item {
        int popup;
        UINT id;
        const wchar_t* caption;
    } items[] = {
        {0, IDM_OPEN_FILES, L"ＥＤＬファイルを参照(&O)\t Ctrl+O"},
        {0, IDM_CHOOSE_OUTPUT_FOLDER, L"保存先設定(&T)\tCtrl+D"},
        {0, IDM_CONVERT, L"変換する(&E)\tEnter"},
        {0, IDM_EXIT, L"終了(&X)\tAlt+F4"},
        {1, IDM_SELECT_ALL, L"すべてを選択(&A)\tCtrl+A"},
        {1, IDM_TOGGLE_TARGET, L"変換対象/除外の切り替え(&F)\tSpace"},
        {1, IDM_REMOVE, L"一覧から削除(&D)\tDel"},
        {1, IDM_RESET_POSITION, L"ウィンドウ位置を初期に戻す\tCtrl+R"},
        {2, IDM_DELETE_INTERNAL_DATA, L"内部データ記述行を削除(&C)\tCtrl+C"},
        {3, IDM_ABOUT, L"バージョン情報(&H)\tCtrl+H"},
    };
    const wchar_t* popups[] = {L"ファイル(&F)", L"操作(&O)", L"変換設定(&C)", L"その他(&Z)"};

    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(4, GetMenuItemCount(menu));
    int next[4] = {};
    for (int p = 0; p < 4; ++p) {
        wchar_t caption[128];
        GetMenuStringW(menu, static_cast<UINT>(p), caption, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(popups[p]), caption);
    }
    for (const Item& item : items) {
        HMENU popup = GetSubMenu(menu, item.popup);
        ASSERT_NE(nullptr, popup);
        int position = next[item.popup]++;
        wchar_t caption[128];
        GetMenuStringW(popup, static_cast<UINT>(position), caption, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(item.caption), caption);
        EXPECT_EQ(item.id, GetMenuItemID(popup, position)) << Utf8(item.caption);
        EXPECT_EQ(0u, GetMenuState(popup, static_cast<UINT>(position), MF_BYPOSITION) &
                          (MF_GRAYED | MF_DISABLED | MF_CHECKED));
    }
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(next[p], GetMenuItemCount(GetSubMenu(menu, p))) << "popup " << p;
    }
    DestroyMenu(menu);
}

TEST(Resources, AcceleratorsInTheirOrder) {
    const ACCEL expected[] = {
        {FVIRTKEY | FCONTROL | FNOINVERT, 'C', IDM_DELETE_INTERNAL_DATA},
        {FVIRTKEY | FCONTROL | FNOINVERT, 'H', IDM_ABOUT},
        {FVIRTKEY | FNOINVERT, VK_DELETE, IDM_REMOVE},
        {FVIRTKEY | FNOINVERT, VK_RETURN, IDM_CONVERT},
        {FVIRTKEY | FALT | FNOINVERT, VK_F4, IDM_EXIT},
        {FVIRTKEY | FCONTROL | FNOINVERT, 'D', IDM_CHOOSE_OUTPUT_FOLDER},
        {FVIRTKEY | FNOINVERT, VK_SPACE, IDM_TOGGLE_TARGET},
        {FVIRTKEY | FCONTROL | FNOINVERT, 'O', IDM_OPEN_FILES},
        {FVIRTKEY | FCONTROL | FNOINVERT, 'A', IDM_SELECT_ALL},
        {FVIRTKEY | FCONTROL | FNOINVERT, 'R', IDM_RESET_POSITION},
    };
    HACCEL table = LoadAcceleratorsW(Instance(), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    ASSERT_NE(nullptr, table);
    ACCEL entries[16];
    int count = CopyAcceleratorTableW(table, entries, 16);
    ASSERT_EQ(10, count);
    for (int k = 0; k < count; ++k) {
        EXPECT_EQ(expected[k].fVirt, entries[k].fVirt) << "entry " << k;
        EXPECT_EQ(expected[k].key, entries[k].key) << "entry " << k;
        EXPECT_EQ(expected[k].cmd, entries[k].cmd) << "entry " << k;
    }
}

// --- Dialog templates, read from the extended template format -----------------------------------

struct TemplateItem {
    DWORD exStyle;
    DWORD style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring className;  // predefined classes by name
    std::wstring text;       // "#n" for a resource number
};

struct DialogTemplate {
    DWORD exStyle;
    DWORD style;
    short x, y, cx, cy;
    std::wstring menu;
    std::wstring className;
    std::wstring caption;
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charset;
    std::wstring typeface;
    std::vector<TemplateItem> items;
};

struct TemplateReader {
    const BYTE* at;

    WORD Word() {
        WORD value;
        std::memcpy(&value, at, 2);
        at += 2;
        return value;
    }
    DWORD Dword() {
        DWORD value;
        std::memcpy(&value, at, 4);
        at += 4;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    std::wstring String() {
        std::wstring text;
        for (WORD unit = Word(); unit != 0; unit = Word()) {
            text += static_cast<wchar_t>(unit);
        }
        return text;
    }
    // A name or, after 0xFFFF, a number.
    std::wstring NameOrNumber(bool isClass) {
        WORD first;
        std::memcpy(&first, at, 2);
        if (first != 0xFFFF) {
            return String();
        }
        Word();
        WORD number = Word();
        if (isClass) {
            const wchar_t* predefined[] = {L"Button",  L"Edit",      L"Static",
                                           L"ListBox", L"ScrollBar", L"ComboBox"};
            if (number >= 0x80 && number <= 0x85) {
                return predefined[number - 0x80];
            }
        }
        return L"#" + std::to_wstring(number);
    }
    void AlignToDword(const BYTE* base) {
        while ((at - base) % 4 != 0) {
            ++at;
        }
    }
};

DialogTemplate ReadDialogTemplate(UINT id) {
    DialogTemplate dialog{};
    HRSRC found = FindResourceW(Instance(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (found == nullptr) {
        ADD_FAILURE() << "no dialog template " << id;
        return dialog;
    }
    const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(Instance(), found)));
    TemplateReader read{base};
    EXPECT_EQ(1, read.Word()) << "version of the extended format";
    EXPECT_EQ(0xFFFF, read.Word()) << "signature of the extended format";
    read.Dword();  // help id
    dialog.exStyle = read.Dword();
    dialog.style = read.Dword();
    WORD count = read.Word();
    dialog.x = read.Short();
    dialog.y = read.Short();
    dialog.cx = read.Short();
    dialog.cy = read.Short();
    dialog.menu = read.NameOrNumber(false);
    dialog.className = read.NameOrNumber(false);
    dialog.caption = read.String();
    if ((dialog.style & DS_SETFONT) != 0) {
        dialog.pointSize = read.Word();
        dialog.weight = read.Word();
        dialog.italic = *read.at++;
        dialog.charset = *read.at++;
        dialog.typeface = read.String();
    }
    for (WORD k = 0; k < count; ++k) {
        read.AlignToDword(base);
        TemplateItem item{};
        read.Dword();  // help id
        item.exStyle = read.Dword();
        item.style = read.Dword();
        item.x = read.Short();
        item.y = read.Short();
        item.cx = read.Short();
        item.cy = read.Short();
        item.id = read.Dword();
        item.className = read.NameOrNumber(true);
        item.text = read.NameOrNumber(false);
        WORD extra = read.Word();
        read.at += extra;
        dialog.items.push_back(item);
    }
    return dialog;
}

void ExpectItem(const TemplateItem& expected, const TemplateItem& item) {
    SCOPED_TRACE("control " + std::to_string(static_cast<int>(expected.id)) + " " +
                 Utf8(expected.text));
    EXPECT_EQ(expected.id, item.id);
    EXPECT_EQ(0, lstrcmpiW(expected.className.c_str(), item.className.c_str()))
        << Utf8(item.className);
    EXPECT_EQ(expected.text, item.text);
    EXPECT_EQ(expected.x, item.x);
    EXPECT_EQ(expected.y, item.y);
    EXPECT_EQ(expected.cx, item.cx);
    EXPECT_EQ(expected.cy, item.cy);
    EXPECT_EQ(expected.style, item.style) << std::hex << item.style;
}

constexpr DWORD NO_ID = 0xFFFFFFFF;
constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;

TEST(Resources, ProgressDialogTemplate) {
    DialogTemplate dialog = ReadDialogTemplate(IDD_PROGRESS);
    EXPECT_EQ(0x80C002C8u, dialog.style);
    EXPECT_EQ(0x100u, dialog.exStyle);
    EXPECT_EQ(L"文字化けタムセル", dialog.caption);
    EXPECT_EQ(80, dialog.x);
    EXPECT_EQ(15, dialog.y);
    EXPECT_EQ(172, dialog.cx);
    EXPECT_EQ(78, dialog.cy);
    EXPECT_EQ(L"", dialog.menu);
    EXPECT_EQ(L"", dialog.className);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ(400, dialog.weight);
    EXPECT_EQ(0, dialog.italic);
    EXPECT_EQ(1, dialog.charset);
    EXPECT_EQ(L"MS Shell Dlg", dialog.typeface);
    const TemplateItem expected[] = {
        {0, 0x50020001, 6, 4, 160, 23, NO_ID, L"Static", L""},
        {0, 0x50800011, 11, 30, 150, 11, IDC_PROGRESS_BAR, L"msctls_progress32", L""},
        {0, 0x50020001, 19, 45, 133, 9, IDC_PROGRESS_STATUS, L"Static", L""},
        {0, 0x50010000, 60, 60, 50, 14, IDC_PROGRESS_CANCEL, L"Button", L"キャンセル"},
    };
    ASSERT_EQ(4u, dialog.items.size());
    for (size_t k = 0; k < 4; ++k) {
        ExpectItem(expected[k], dialog.items[k]);
    }
}

TEST(Resources, MainWindowTemplate) {
    DialogTemplate dialog = ReadDialogTemplate(IDD_MAIN);
    EXPECT_EQ(static_cast<DWORD>(WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT |
                                 DS_NOIDLEMSG | WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
              dialog.style);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_ACCEPTFILES | WS_EX_APPWINDOW | WS_EX_STATICEDGE |
                                 WS_EX_CONTROLPARENT | WS_EX_NOPARENTNOTIFY),
              dialog.exStyle);
    EXPECT_EQ(0, dialog.x);
    EXPECT_EQ(0, dialog.y);
    EXPECT_EQ(283, dialog.cx);
    EXPECT_EQ(186, dialog.cy);
    EXPECT_EQ(L"#109", dialog.menu);
    EXPECT_EQ(L"_GUI", dialog.className);
    EXPECT_EQ(9, dialog.pointSize);
    EXPECT_EQ(400, dialog.weight);
    EXPECT_EQ(0x80, dialog.charset);
    EXPECT_EQ(L"MS UI Gothic", dialog.typeface);
    const DWORD button = CHILD | WS_TABSTOP | BS_PUSHBUTTON;
    const TemplateItem expected[] = {
        {0,
         CHILD | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOLABELWRAP |
             LVS_AUTOARRANGE | LVS_ALIGNLEFT,
         0, 1, 283, 129, IDC_FILE_LIST, L"SysListView32", L""},
        {0, button, 3, 134, 33, 16, IDC_CHOOSE_OUTPUT_FOLDER, L"Button", L"保存先"},
        {0, CHILD | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_MULTILINE | ES_AUTOHSCROLL, 37, 135,
         180, 13, IDC_OUTPUT_FOLDER, L"Edit", L""},
        {0, CHILD | SS_OWNERDRAW | SS_SUNKEN | SS_CENTERIMAGE, 220, 135, 61, 13, IDC_FILE_COUNT,
         L"Static", L""},
        {0, button, 3, 151, 54, 30, IDC_SELECT_ALL, L"Button", L"全てを選択"},
        {0, button | BS_MULTILINE | BS_FLAT, 57, 151, 54, 30, IDC_REMOVE, L"Button",
         L"リストから削除"},
        {0, button | BS_MULTILINE, 116, 151, 45, 30, IDC_TOGGLE_TARGET, L"Button",
         L"変換対象の\nチェック\nON/OFF"},
        {0, button | BS_MULTILINE | BS_CENTER | BS_VCENTER, 161, 151, 82, 30, IDC_CONVERT,
         L"Button", L"変換"},
        {0, CHILD | SS_ICON | SS_REALSIZEIMAGE | SS_NOTIFY, 245, 149, 20, 20, IDC_PICTURE,
         L"Static", L"#158"},
    };
    ASSERT_EQ(9u, dialog.items.size());
    for (size_t k = 0; k < 9; ++k) {
        ExpectItem(expected[k], dialog.items[k]);
    }
}

TEST(Resources, AboutBoxTemplate) {
    DialogTemplate dialog = ReadDialogTemplate(IDD_ABOUT);
    EXPECT_EQ(L"文字化けタムセルについて", dialog.caption);
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT), dialog.style);
    EXPECT_EQ(40, dialog.x);
    EXPECT_EQ(15, dialog.y);
    EXPECT_EQ(156, dialog.cx);
    EXPECT_EQ(98, dialog.cy);
    EXPECT_EQ(10, dialog.pointSize);
    EXPECT_EQ(L"ＭＳ ゴシック", dialog.typeface);
    const DWORD text = CHILD | WS_GROUP;
    const TemplateItem expected[] = {
        {0, CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON, 44, 78, 67, 16, IDOK, L"Button", L"閉じる"},
        {0, CHILD | SS_ICON, 7, 17, 20, 20, IDC_ABOUT_PICTURE, L"Static", L"#158"},
        {0, text | SS_LEFTNOWORDWRAP, 6, 5, 144, 8, NO_ID, L"Static",
         L"文字化けタムセル for SONY BVE-9100 EDL"},
        {0, text | SS_LEFTNOWORDWRAP, 42, 18, 92, 9, NO_ID, L"Static", L"バージョン: 3.0 cs1"},
        {0, text | SS_LEFT, 42, 30, 80, 8, NO_ID, L"Static", L"最終更新: 2019/02/26"},
        // The author line comes from the string table when the box opens.
        {0, text | SS_LEFT, 23, 49, 110, 8, IDC_ABOUT_AUTHOR, L"Static", L""},
        {0, CHILD | SS_ETCHEDHORZ, 0, 60, 155, 1, NO_ID, L"Static", L""},
        {0, text | SS_LEFT, 2, 65, 34, 8, NO_ID, L"Static", L"お問合せ"},
        {0, CHILD | WS_TABSTOP | WS_BORDER | ES_CENTER | ES_READONLY, 37, 63, 115, 13,
         IDC_ABOUT_CONTACT, L"Edit", L""},
    };
    ASSERT_EQ(9u, dialog.items.size());
    for (size_t k = 0; k < 9; ++k) {
        ExpectItem(expected[k], dialog.items[k]);
    }
}

TEST(Resources, IconsInTheirSizes) {
    struct Case {
        UINT id;
        std::vector<int> sizes;
    } cases[] = {
        {IDI_APPLICATION_LARGE, {16, 32, 48}},
        {IDI_APPLICATION_SMALL, {16}},
        {IDI_PICTURE, {48}},
    };
    for (const Case& c : cases) {
        HRSRC found = FindResourceW(Instance(), MAKEINTRESOURCEW(c.id), RT_GROUP_ICON);
        ASSERT_NE(nullptr, found) << "icon " << c.id;
        const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(Instance(), found)));
        WORD count;
        std::memcpy(&count, group + 4, 2);
        std::vector<int> sizes;
        for (WORD k = 0; k < count; ++k) {
            // Entries of 14 bytes after a 6-byte header; the first byte is the width.
            sizes.push_back(group[6 + 14 * k]);
        }
        EXPECT_EQ(c.sizes, sizes) << "icon " << c.id;
        for (int size : c.sizes) {
            HANDLE icon = LoadImageW(Instance(), MAKEINTRESOURCEW(c.id), IMAGE_ICON, size, size, 0);
            EXPECT_NE(nullptr, icon) << "icon " << c.id << " at " << size;
            DestroyIcon(static_cast<HICON>(icon));
        }
    }
}

TEST(Resources, ManifestAsksForCommonControls6AsTheInvokerAtTheDisplaysScale) {
    HRSRC found = FindResourceW(Instance(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(nullptr, found);
    const char* text = static_cast<const char*>(LockResource(LoadResource(Instance(), found)));
    std::string manifest(text, SizeofResource(Instance(), found));
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\""));
    EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));

    // The DPI settings, as the system reads them from the manifest: a misspelt namespace
    // would leave the program drawn small and stretched on a scaled display.
    struct Setting {
        const wchar_t* space;
        const wchar_t* name;
        const wchar_t* value;
    } settings[] = {
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"},
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
         L"PerMonitorV2, PerMonitor"},
    };
    for (const Setting& setting : settings) {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        EXPECT_TRUE(
            QueryActCtxSettingsW(0, nullptr, setting.space, setting.name, value, 64, &written))
            << Utf8(setting.name);
        EXPECT_EQ(std::wstring(setting.value), value) << Utf8(setting.name);
    }

    // The common controls this program runs with are those of version 6 (their side-by-side
    // folder), not the system's default copy.
    HMODULE controls = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&InitCommonControlsEx)), &controls));
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(controls, path, MAX_PATH);
    std::wstring lower(path);
    CharLowerW(lower.data());
    EXPECT_NE(std::wstring::npos, lower.find(L"common-controls")) << Utf8(path);
    EXPECT_NE(std::wstring::npos, lower.find(L"_6.0.")) << Utf8(path);
}

// The version texts Explorer shows for a program file.
struct VersionTexts {
    std::wstring productName;
    std::wstring description;
    std::wstring productVersion;
    std::wstring fileName;
    DWORD fileVersionMs;
    DWORD fileVersionLs;
};

bool ReadVersionTexts(const wchar_t* path, VersionTexts* texts) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        return false;
    }
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path, 0, size, block.data())) {
        return false;
    }
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", &data, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    texts->fileVersionMs = fixed->dwFileVersionMS;
    texts->fileVersionLs = fixed->dwFileVersionLS;
    // The texts are found through the translation, as Explorer finds them.
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &length) ||
        length < 4) {
        return false;
    }
    const auto* translation = static_cast<const WORD*>(data);
    auto text = [&](const wchar_t* name) {
        wchar_t query[96];
        wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
        void* value = nullptr;
        UINT units = 0;
        if (!VerQueryValueW(block.data(), query, &value, &units) || units == 0) {
            return std::wstring();
        }
        return std::wstring(static_cast<const wchar_t*>(value));
    };
    texts->productName = text(L"ProductName");
    texts->description = text(L"FileDescription");
    texts->productVersion = text(L"ProductVersion");
    texts->fileName = text(L"OriginalFilename");
    return true;
}

TEST(Resources, VersionOfBothPrograms) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const char* cli = std::getenv("TAMSEL_CLI_EXE");
    ASSERT_NE(nullptr, cli) << "TAMSEL_CLI_EXE names tamsel-cli.exe";
    struct Case {
        std::wstring path;
        const wchar_t* fileName;
        const wchar_t* description;
    } cases[] = {
        {self, L"tamsel.exe", L"文字化けタムセル SONY BVE-9100 EDL 修復ツール"},
        {std::wstring(cli, cli + std::strlen(cli)), L"tamsel-cli.exe",
         L"文字化けタムセル コマンドライン版 (SONY BVE-9100 EDL 修復)"},
    };
    for (const Case& c : cases) {
        VersionTexts texts{};
        ASSERT_TRUE(ReadVersionTexts(c.path.c_str(), &texts)) << Utf8(c.path);
        EXPECT_EQ(L"文字化けタムセル for SONY BVE-9100 EDL", texts.productName) << Utf8(c.path);
        EXPECT_EQ(c.description, texts.description) << Utf8(c.path);
        EXPECT_EQ(L"3.0.1", texts.productVersion) << Utf8(c.path);
        EXPECT_EQ(c.fileName, texts.fileName) << Utf8(c.path);
        EXPECT_EQ(MAKELONG(0, 3), texts.fileVersionMs) << Utf8(c.path);
        EXPECT_EQ(MAKELONG(0, 1), texts.fileVersionLs) << Utf8(c.path);
    }
}

}  // namespace
