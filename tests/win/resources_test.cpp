// The compiled resources, read back as the program finds them: every string the program loads
// is there and takes what the code fills into it, every command has its menu item and every
// accelerator is the one its item shows, the controls the code talks to are in their templates
// and every control lies inside its dialog; the icons, the manifest and the version of both
// programs.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <map>
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

// How many "%s" and "%d" a template holds ("%02d" counts as a number).
std::pair<int, int> Placeholders(const std::wstring& text) {
    int texts = 0;
    int numbers = 0;
    for (size_t k = 0; k + 1 < text.size(); ++k) {
        if (text[k] != L'%') {
            continue;
        }
        size_t at = k + 1;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
            ++at;
        }
        if (at < text.size() && text[at] == L's') {
            ++texts;
        } else if (at < text.size() && text[at] == L'd') {
            ++numbers;
        }
    }
    return {texts, numbers};
}

// Every string the program loads: one that is missing shows nothing, and a template whose
// placeholders differ from what the code fills in shows a wrong or empty part of its message.
TEST(Resources, EveryStringTheProgramLoadsIsThereWithItsPlaceholders) {
    const UINT plain[] = {IDS_APP_TITLE,
                          IDS_WINDOW_CLASS,
                          IDS_APP_NAME,
                          IDS_MESSAGE_CAPTION,
                          IDS_ALREADY_RUNNING,
                          IDS_NO_DESKTOP_FOLDER,
                          IDS_COLUMN_NAME,
                          IDS_COLUMN_UPDATE,
                          IDS_COLUMN_LOCATION,
                          IDS_COLUMN_RESULT,
                          IDS_EMPTY_LIST_HINT,
                          IDS_ABOUT_CONTACT,
                          IDS_ABOUT_AUTHOR,
                          IDS_ADD_FILES_CAPTION,
                          IDS_DROP_CAPTION,
                          IDS_TOO_MANY_SELECTED,
                          IDS_REFUSED_HEADING,
                          IDS_REASON_NOT_EDL,
                          IDS_REASON_DUPLICATE_NAME,
                          IDS_REASON_PATH_TOO_LONG,
                          IDS_REASON_FILE_MISSING,
                          IDS_REASON_NO_EDL_IN_FOLDER,
                          IDS_OPEN_FILTER_NAME,
                          IDS_OPEN_FILTER_PATTERN,
                          IDS_OPEN_DEFAULT_EXTENSION,
                          IDS_CHOOSE_FOLDER_TITLE,
                          IDS_RESULT_CONVERTED,
                          IDS_RESULT_CMX_FORMAT,
                          IDS_RESULT_UNKNOWN_FORMAT,
                          IDS_RESULT_OPEN_FAILED,
                          IDS_RESULT_WRITE_FAILED,
                          IDS_RESULT_NO_MEMORY,
                          IDS_RESULT_NOT_REACHED,
                          IDS_RESULT_OUTPUT_IS_SOURCE,
                          IDS_RESULT_NAME_TOO_LONG,
                          IDS_RESULT_CMX_WRITE_FAILED,
                          IDS_RESULT_TABLE_WRITE_FAILED,
                          IDS_RESULT_NAME_TAKEN,
                          IDS_RESULT_FAILED};
    for (UINT id : plain) {
        std::wstring text = LoadText(id);
        EXPECT_FALSE(text.empty()) << "string " << id << " is missing";
        EXPECT_EQ(std::make_pair(0, 0), Placeholders(text)) << "string " << id;
    }
    // Templates, with the texts ("%s") and numbers ("%d") the code gives them.
    struct Template {
        UINT id;
        int texts;
        int numbers;
    } templates[] = {{IDS_TALLY_FAILED, 0, 1},         {IDS_TALLY_CMX, 0, 5},
                     {IDS_RESULT_CONVERTED_CMX, 0, 2}, {IDS_FILE_COUNT, 0, 1},
                     {IDS_DROP_LIMIT, 0, 1},           {IDS_NOT_EDL, 1, 0},
                     {IDS_FILE_MISSING, 2, 0},         {IDS_NO_EDL_IN_FOLDER, 1, 0},
                     {IDS_REFUSED_LINE, 2, 0},         {IDS_REFUSED_MORE, 0, 1},
                     {IDS_TOO_MANY_TARGETS, 0, 1},     {IDS_OUTPUT_FOLDER_UNUSABLE, 1, 0},
                     {IDS_CANNOT_OPEN_FOLDER, 1, 0},   {IDS_CANNOT_OPEN_FILE, 1, 0},
                     {IDS_GUIDE_MISSING, 1, 0},        {IDS_TIP_CMX_COUNTS, 1, 2},
                     {IDS_TIP_CMX_KEPT, 0, 1},         {IDS_TIP_CMX_REELS, 0, 1},
                     {IDS_TALLY_EVENTS, 0, 2},         {IDS_TALLY_PULL, 0, 1},
                     {IDS_TALLY_BATCH_PULL, 0, 2},     {IDS_RESULT_EVENTS, 0, 1},
                     {IDS_RESULT_PULL, 0, 1}};
    for (const Template& use : templates) {
        std::wstring text = LoadText(use.id);
        EXPECT_EQ(std::make_pair(use.texts, use.numbers), Placeholders(text))
            << "string " << use.id << ": " << Utf8(text);
    }
    // The title and the class name are loaded into 100 characters.
    EXPECT_LT(LoadText(IDS_APP_TITLE).size(), 100u);
    EXPECT_LT(LoadText(IDS_WINDOW_CLASS).size(), 100u);
}

// --- The menu and the accelerators --------------------------------------------------------------

// The key of an accelerator as a menu item names it after its tab: "Ctrl+O", "Del", "Alt+F4".
std::wstring KeyName(const ACCEL& accelerator) {
    std::wstring name;
    if (accelerator.fVirt & FCONTROL) {
        name += L"Ctrl+";
    }
    if (accelerator.fVirt & FSHIFT) {
        name += L"Shift+";
    }
    if (accelerator.fVirt & FALT) {
        name += L"Alt+";
    }
    switch (accelerator.key) {
        case VK_DELETE:
            return name + L"Del";
        case VK_RETURN:
            return name + L"Enter";
        case VK_SPACE:
            return name + L"Space";
        case VK_F1:
            return name + L"F1";
        case VK_F4:
            return name + L"F4";
    }
    return name + static_cast<wchar_t>(accelerator.key);
}

// Each command of a menu (and of its popups) with what its caption shows after the tab, trimmed.
void ReadHints(HMENU menu, std::map<UINT, std::wstring>* hints) {
    for (int k = 0; k < GetMenuItemCount(menu); ++k) {
        HMENU popup = GetSubMenu(menu, k);
        if (popup != nullptr) {
            ReadHints(popup, hints);
            continue;
        }
        wchar_t caption[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(k), caption, 128, MF_BYPOSITION);
        std::wstring text(caption);
        size_t tab = text.find(L'\t');
        std::wstring hint = tab == std::wstring::npos ? L"" : text.substr(tab + 1);
        while (!hint.empty() && hint.front() == L' ') {
            hint.erase(hint.begin());
        }
        (*hints)[GetMenuItemID(menu, k)] = hint;
    }
}

TEST(Resources, EveryAcceleratorIsTheOneItsMenuItemShows) {
    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    ASSERT_NE(nullptr, menu);
    std::map<UINT, std::wstring> hints;
    ReadHints(menu, &hints);
    DestroyMenu(menu);
    // Every command the window carries out is in its menu.
    for (UINT id : {IDM_OPEN_FILES, IDM_CHOOSE_OUTPUT_FOLDER, IDM_OPEN_OUTPUT_FOLDER, IDM_CONVERT,
                    IDM_EXIT, IDM_SELECT_ALL, IDM_TOGGLE_TARGET, IDM_REMOVE, IDM_RESET_POSITION,
                    IDM_DELETE_INTERNAL_DATA, IDM_OPEN_GUIDE, IDM_ABOUT}) {
        EXPECT_EQ(1u, hints.count(id)) << "command " << id << " has no menu item";
    }

    HACCEL table = LoadAcceleratorsW(Instance(), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    ASSERT_NE(nullptr, table);
    ACCEL entries[32];
    int count = CopyAcceleratorTableW(table, entries, 32);
    std::map<std::wstring, UINT> commandOfKey;
    for (int k = 0; k < count; ++k) {
        std::wstring key = KeyName(entries[k]);
        // A key of a command without a menu item would act even when its item should be
        // greyed: the system greys an accelerator only through its menu item.
        ASSERT_EQ(1u, hints.count(entries[k].cmd)) << Utf8(key) << " has no menu item";
        EXPECT_EQ(key, hints[entries[k].cmd]) << "the item of command " << entries[k].cmd;
        EXPECT_TRUE(commandOfKey.emplace(key, entries[k].cmd).second) << Utf8(key) << " twice";
        EXPECT_NE(0, entries[k].fVirt & FVIRTKEY) << Utf8(key);
    }
    // And the other way round: an item that names a key has that key.
    for (const auto& [id, hint] : hints) {
        if (!hint.empty()) {
            EXPECT_EQ(1u, commandOfKey.count(hint)) << Utf8(hint) << " does nothing";
        }
    }
}

TEST(Resources, TheRowMenuHasTheCommandsTheListEnables) {
    HMENU bar = LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_ROW_MENU));
    ASSERT_NE(nullptr, bar);
    HMENU menu = GetSubMenu(bar, 0);
    ASSERT_NE(nullptr, menu);
    std::map<UINT, std::wstring> hints;
    ReadHints(menu, &hints);
    DestroyMenu(bar);
    for (UINT id : {IDM_OPEN_OUTPUT, IDM_OPEN_EXPORT, IDM_SHOW_OUTPUT_IN_FOLDER, IDM_OPEN_SOURCE,
                    IDM_SHOW_IN_FOLDER, IDM_REMOVE}) {
        EXPECT_EQ(1u, hints.count(id)) << "command " << id;
    }
}

// --- Dialog templates, read from the extended template format -----------------------------------

struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring className;  // predefined classes by name
};

struct DialogTemplate {
    short cx, cy;
    std::wstring menu;  // "#n" for a resource number
    std::wstring className;
    std::vector<TemplateItem> items;
};

struct TemplateReader {
    const BYTE* at;

    template <typename T>
    T Next() {
        T value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (auto unit = Next<WORD>(); unit != 0; unit = Next<WORD>()) {
            text += static_cast<wchar_t>(unit);
        }
        return text;
    }
    // A name or, after 0xFFFF, a number: a predefined class's name, or "#n".
    std::wstring NameOrNumber() {
        WORD first;
        std::memcpy(&first, at, 2);
        if (first != 0xFFFF) {
            return String();
        }
        at += 2;
        auto number = Next<WORD>();
        const wchar_t* predefined[] = {L"Button",  L"Edit",      L"Static",
                                       L"ListBox", L"ScrollBar", L"ComboBox"};
        if (number >= 0x80 && number <= 0x85) {
            return predefined[number - 0x80];
        }
        return L"#" + std::to_wstring(number);
    }
};

// An extended dialog template, as windres writes it.
DialogTemplate ReadDialogTemplate(UINT id) {
    DialogTemplate dialog{};
    HRSRC found = FindResourceW(Instance(), MAKEINTRESOURCEW(id), RT_DIALOG);
    if (found == nullptr) {
        ADD_FAILURE() << "no dialog template " << id;
        return dialog;
    }
    const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(Instance(), found)));
    TemplateReader read{base + 12};  // version, signature, help id, extended style
    auto style = read.Next<DWORD>();
    auto count = read.Next<WORD>();
    read.at += 4;  // x, y
    dialog.cx = read.Next<short>();
    dialog.cy = read.Next<short>();
    dialog.menu = read.NameOrNumber();
    dialog.className = read.NameOrNumber();
    read.String();  // caption
    if ((style & DS_SETFONT) != 0) {
        read.at += 6;  // point size, weight, italic, character set
        read.String();
    }
    for (WORD k = 0; k < count; ++k) {
        read.at += (4 - (read.at - base) % 4) % 4;
        TemplateItem item{};
        read.at += 8;  // help id, extended style
        item.style = read.Next<DWORD>();
        item.x = read.Next<short>();
        item.y = read.Next<short>();
        item.cx = read.Next<short>();
        item.cy = read.Next<short>();
        item.id = read.Next<DWORD>();
        item.className = read.NameOrNumber();
        read.NameOrNumber();  // text
        read.at += read.Next<WORD>();
        dialog.items.push_back(item);
    }
    return dialog;
}

// The class a template gives a control, by its name or its predefined number.
bool IsClass(const TemplateItem& item, const wchar_t* name) {
    return lstrcmpiW(item.className.c_str(), name) == 0;
}

const TemplateItem* FindItem(const DialogTemplate& dialog, DWORD id) {
    for (const TemplateItem& item : dialog.items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

// The controls the code finds by id, with the class whose messages it sends them.
TEST(Resources, EveryControlTheCodeUsesIsInItsTemplate) {
    struct Use {
        UINT dialog;
        DWORD id;
        const wchar_t* className;
    } uses[] = {{IDD_MAIN, IDC_FILE_LIST, L"SysListView32"},
                {IDD_MAIN, IDC_DELETE_INTERNAL_DATA, L"Button"},
                {IDD_MAIN, IDC_EXPORT_CMX, L"Button"},
                {IDD_MAIN, IDC_CMX_RATE, L"Static"},
                {IDD_MAIN, IDC_FILE_COUNT, L"Static"},
                {IDD_MAIN, IDC_CHOOSE_OUTPUT_FOLDER, L"Button"},
                {IDD_MAIN, IDC_OUTPUT_FOLDER, L"Edit"},
                {IDD_MAIN, IDC_OPEN_OUTPUT_FOLDER, L"Button"},
                {IDD_MAIN, IDC_SELECT_ALL, L"Button"},
                {IDD_MAIN, IDC_REMOVE, L"Button"},
                {IDD_MAIN, IDC_TOGGLE_TARGET, L"Button"},
                {IDD_MAIN, IDC_CONVERT, L"Button"},
                {IDD_MAIN, IDC_PICTURE, L"Static"},
                {IDD_PROGRESS, IDC_PROGRESS_BAR, L"msctls_progress32"},
                {IDD_PROGRESS, IDC_PROGRESS_STATUS, L"Static"},
                {IDD_PROGRESS, IDC_PROGRESS_CANCEL, L"Button"},
                {IDD_ABOUT, IDOK, L"Button"},
                {IDD_ABOUT, IDC_ABOUT_AUTHOR, L"Static"},
                {IDD_ABOUT, IDC_ABOUT_CONTACT, L"Edit"},
                {IDD_ABOUT, IDC_ABOUT_PICTURE, L"Static"}};
    std::map<UINT, DialogTemplate> dialogs;
    for (UINT id : {IDD_MAIN, IDD_PROGRESS, IDD_ABOUT}) {
        dialogs[id] = ReadDialogTemplate(id);
    }
    for (const Use& use : uses) {
        const TemplateItem* item = FindItem(dialogs[use.dialog], use.id);
        ASSERT_NE(nullptr, item) << "control " << use.id << " of dialog " << use.dialog;
        EXPECT_TRUE(IsClass(*item, use.className)) << "control " << use.id;
    }
    // The check box is switched by the code, not by itself: one click, one switch.
    EXPECT_EQ(static_cast<DWORD>(BS_CHECKBOX),
              FindItem(dialogs[IDD_MAIN], IDC_DELETE_INTERNAL_DATA)->style & BS_TYPEMASK);
    // The progress dialog's file label is its first control, which the code takes by place.
    ASSERT_FALSE(dialogs[IDD_PROGRESS].items.empty());
    EXPECT_TRUE(IsClass(dialogs[IDD_PROGRESS].items[0], L"Static"));
    // The main window is a window of the class the program registers, with its menu.
    EXPECT_EQ(L"_GUI", dialogs[IDD_MAIN].className);
    EXPECT_EQ(L"#" + std::to_wstring(IDR_MAIN_MENU), dialogs[IDD_MAIN].menu);
}

TEST(Resources, EveryControlLiesInsideItsDialog) {
    for (UINT id : {IDD_MAIN, IDD_PROGRESS, IDD_ABOUT}) {
        DialogTemplate dialog = ReadDialogTemplate(id);
        ASSERT_FALSE(dialog.items.empty()) << "dialog " << id;
        for (const TemplateItem& item : dialog.items) {
            SCOPED_TRACE("dialog " + std::to_string(id) + ", control " +
                         std::to_string(static_cast<int>(item.id)));
            EXPECT_GE(item.x, 0);
            EXPECT_GE(item.y, 0);
            EXPECT_LE(item.x + item.cx, dialog.cx);
            EXPECT_LE(item.y + item.cy, dialog.cy);
        }
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
