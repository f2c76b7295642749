// A main window created as the program creates it, for the tests that drive it: its rows,
// buttons and label read back, files dropped and commands sent with every message box
// recorded, and the temporary folders of the test removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "gui_test_util.h"
#include "resource.h"
#include "shell.h"

// One row of the file list as it shows.
struct ListRow {
    std::wstring name;
    std::wstring update;
    std::wstring location;
    std::wstring result;
    int stateImage;
    bool selected;
    int image;  // its small icon's index
};

class MainWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        registry = TakeRegistrySnapshot();
        DeleteStoredRecord();
        instance = PrepareMainWindowClass();
        ASSERT_NE(nullptr, instance);
        conversionJob.outputFolder[0] = 0;
        window = CreateMainWindow(instance);
        ASSERT_NE(nullptr, window);
        list = GetDlgItem(window, IDC_FILE_LIST);
        folder = NewFolder();
    }

    void TearDown() override {
        StopSpy();
        if (window != nullptr && IsWindow(window)) {
            DestroyWindow(window);
        }
        DrainMessages();
        for (auto at = folders.rbegin(); at != folders.rend(); ++at) {
            RemoveTemporaryFolder(*at);
        }
        RestoreRegistrySnapshot(registry);
    }

    // A new empty folder, removed after the test; with a trailing "\".
    std::wstring NewFolder() {
        std::wstring made = MakeTemporaryFolder();
        EXPECT_FALSE(made.empty());
        folders.push_back(made);
        return made;
    }

    // Writes a small EDL named `name` into `into` (a folder with its "\"); gives its path.
    std::wstring AddSample(const std::wstring& into, const std::wstring& name) {
        std::wstring path = into + name;
        WriteBytes(path, SampleEdl("SAMPLE", 3));
        return path;
    }

    // A folder path without its trailing "\": a row's location.
    static std::wstring Location(const std::wstring& withSeparator) {
        return withSeparator.substr(0, withSeparator.size() - 1);
    }

    // Drops `paths` on the window; gives the message boxes shown.
    std::vector<SpyEvent> Drop(const std::vector<std::wstring>& paths) {
        StartSpy();
        SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
        return StopSpy();
    }

    // Sends the window a command, as a button or a menu item sends it; gives what the spy saw.
    std::vector<SpyEvent> Command(WORD id) {
        StartSpy();
        SendMessageW(window, WM_COMMAND, id, 0);
        return StopSpy();
    }

    std::vector<ListRow> Rows() {
        std::vector<ListRow> rows;
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            ListRow read{};
            read.name = RowText(row, 0);
            read.update = RowText(row, 1);
            read.location = RowText(row, 2);
            read.result = RowText(row, 3);
            LVITEMW item{};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            read.image = item.iImage;
            auto state = static_cast<UINT>(
                SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK | LVIS_SELECTED));
            read.stateImage = static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
            read.selected = (state & LVIS_SELECTED) != 0;
            rows.push_back(read);
        }
        return rows;
    }

    std::vector<std::wstring> Names() {
        std::vector<std::wstring> names;
        for (const ListRow& row : Rows()) {
            names.push_back(row.name);
        }
        return names;
    }

    std::wstring RowText(int row, int column) {
        wchar_t text[2048] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 2048;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }

    void SetStateImage(int row, int image) {
        LVITEMW item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(image);
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    }

    // Selects exactly these rows.
    void SelectOnly(const std::vector<int>& rows) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = 0;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&item));
        item.state = LVIS_SELECTED;
        for (int row : rows) {
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
        }
    }

    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }

    std::wstring Label() { return WindowText(GetDlgItem(window, IDC_FILE_COUNT)); }

    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND list = nullptr;
    std::wstring folder;
    std::vector<std::wstring> folders;
    RegistrySnapshot registry{};
};

// The message boxes among what the spy saw.
inline std::vector<SpyEvent> Boxes(const std::vector<SpyEvent>& events) {
    std::vector<SpyEvent> boxes;
    for (const SpyEvent& event : events) {
        if (event.kind == SpyEventKind::MESSAGE_BOX) {
            boxes.push_back(event);
        }
    }
    return boxes;
}

// One message box as expected: caption, text, icon, owned by `owner`.
inline void ExpectBox(const SpyEvent& box, const std::wstring& caption, const std::wstring& text,
                      UINT icon, HWND owner) {
    EXPECT_EQ(SpyEventKind::MESSAGE_BOX, box.kind);
    EXPECT_EQ(caption, box.caption) << Utf8(box.caption);
    EXPECT_EQ(text, box.text) << Utf8(box.text);
    EXPECT_EQ(icon, box.icon);
    EXPECT_EQ(owner, box.dialog) << "owner";
}
