// Adding files to the main window: dropped (a WM_DROPFILES built as the shell builds it) and
// chosen in the real open dialog, driven from a helper thread. Every message box is checked.
#include "add_files.h"
#include "main_window_fixture.h"

// After windows.h, which they need.
#include <cderr.h>
#include <dlgs.h>

#include <thread>

namespace {

const std::wstring ADD_CAPTION = L"ＥＤＬファイルの参照";

std::wstring NotEdl(const std::wstring& path) {
    return L"ファイル名: \"" + path + L"\"\n\n拡張子が EDL ではありません。";
}

std::wstring Duplicate(const std::wstring& name, const std::wstring& location) {
    return L"ファイル名: \"" + name + L"\"\n場所:[" + location +
           L"]\n\n名前が同じファイル(パスが違っていても)は参照できません。";
}

std::wstring TooLong(const std::wstring& name, const std::wstring& location) {
    return L"ファイル名: \"" + name + L"\"\n場所:[" + location +
           L"]\n\nパスが長すぎるため参照できません。";
}

std::wstring Missing(const std::wstring& name, const std::wstring& location) {
    return L"ファイル名: \"" + name + L"\"\n場所:[" + location + L"]\n\nファイルが見つかりません。";
}

// The one box that names several refused files: a line each, "name: reason".
std::wstring RefusedList(const std::vector<std::wstring>& lines, int more = 0) {
    std::wstring text = L"次のファイルは一覧に加えませんでした。\n";
    for (const std::wstring& line : lines) {
        text += L"\n" + line;
    }
    if (more > 0) {
        text += L"\nほか " + std::to_wstring(more) + L" 件";
    }
    return text;
}
const std::wstring NOT_EDL_REASON = L": 拡張子が EDL ではありません";
const std::wstring DUPLICATE_REASON = L": 同じ名前のファイルが一覧にあります";
const std::wstring TOO_LONG_REASON = L": パスが長すぎます";
const std::wstring MISSING_REASON = L": ファイルが見つかりません";

using AddFilesTest = MainWindowFixture;

TEST_F(AddFilesTest, DroppedFilesBecomeTickedRowsWithTheirTimeAndFolder) {
    std::wstring first = AddSample(folder, L"take.edl");
    std::wstring second = AddSample(folder, L"REEL_2.Edl");
    SetLocalWriteTime(first, 2019, 2, 26, 9, 5);
    SetLocalWriteTime(second, 2024, 12, 31, 23, 59);

    EXPECT_TRUE(Boxes(Drop({first, second})).empty());

    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(L"take.EDL", rows[0].name) << "the extension upper-cased";
    EXPECT_EQ(L"2019/02/26 09:05", rows[0].update);
    EXPECT_EQ(Location(folder), rows[0].location);
    EXPECT_EQ(L"REEL_2.EDL", rows[1].name);
    EXPECT_EQ(L"2024/12/31 23:59", rows[1].update);
    for (const ListRow& row : rows) {
        EXPECT_EQ(2, row.stateImage) << "ticked as a convert target";
        EXPECT_FALSE(row.selected);
    }
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(shell.fileImage, item.iImage) << "the first file's icon";
    EXPECT_EQ(rows[0].image, rows[1].image);
    HIMAGELIST icons =
        reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    EXPECT_EQ(shell.smallIcons, icons);
    EXPECT_EQ(list, GetFocus());
    EXPECT_EQ(L"ファイル参照数:2", Label());
}

TEST_F(AddFilesTest, ADropOf256IsTakenAndOneOf257IsRefusedWhole) {
    std::vector<std::wstring> paths;
    for (int k = 0; k < 257; ++k) {
        paths.push_back(AddSample(folder, L"F" + std::to_wstring(1000 + k) + L".EDL"));
    }
    std::vector<SpyEvent> boxes = Boxes(Drop(paths));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], L"ファイル参照", L"一度にドラッグできるファイル参照数は256までです。",
              MB_ICONERROR, window);
    EXPECT_EQ(0u, Rows().size());

    paths.pop_back();
    boxes = Boxes(Drop(paths));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    std::vector<std::wstring> names = Names();
    ASSERT_EQ(256u, names.size());
    EXPECT_EQ(L"F1000.EDL", names.front());
    EXPECT_EQ(L"F1255.EDL", names.back());
    EXPECT_EQ(L"ファイル参照数:256", Label());
}

TEST_F(AddFilesTest, AFileWithoutTheEdlExtensionIsSkippedAndTheRestOfTheDropAdded) {
    std::wstring b = AddSample(folder, L"b.EDL");
    std::wstring a = AddSample(folder, L"a.txt");
    std::wstring c = AddSample(folder, L"c.EDL");
    std::vector<SpyEvent> boxes = Boxes(Drop({b, a, c}));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION, NotEdl(folder + L"a.txt"), MB_ICONWARNING, window);
    EXPECT_EQ((std::vector<std::wstring>{L"b.EDL", L"c.EDL"}), Names());
    EXPECT_EQ(L"ファイル参照数:2", Label());

    // Only the text after the last "." counts: a dot in a folder's name is not an extension,
    // and the message shows the path as it was dropped.
    std::wstring dotted = NewFolder();
    std::wstring inside = dotted + L"v1.0\\";
    CreateDirectoryW(inside.c_str(), nullptr);
    std::wstring take = inside + L"take";
    boxes = Boxes(Drop({take}));
    RemoveDirectoryW(inside.c_str());
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION, NotEdl(dotted + L"v1.0\\take"), MB_ICONWARNING, window);
    EXPECT_EQ(2u, Rows().size());
}

TEST_F(AddFilesTest, SeveralRefusalsAreListedInOneBoxAfterTheRestIsAdded) {
    std::wstring other = NewFolder();
    ASSERT_TRUE(Boxes(Drop({AddSample(other, L"taken.EDL")})).empty());
    std::vector<std::wstring> paths = {
        AddSample(folder, L"memo.txt"), AddSample(folder, L"first.EDL"),
        AddSample(folder, L"taken.EDL"), folder + L"gone.edl", AddSample(folder, L"last.edl")};
    std::vector<SpyEvent> boxes = Boxes(Drop(paths));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION,
              RefusedList({L"memo.txt" + NOT_EDL_REASON, L"taken.EDL" + DUPLICATE_REASON,
                           L"gone.EDL" + MISSING_REASON}),
              MB_ICONWARNING, window);
    EXPECT_EQ((std::vector<std::wstring>{L"taken.EDL", L"first.EDL", L"last.EDL"}), Names());
    EXPECT_EQ(L"ファイル参照数:3", Label());
    EXPECT_TRUE(Enabled(IDC_CONVERT));
    EXPECT_EQ(list, GetFocus());
}

TEST_F(AddFilesTest, AfterTwentyRefusedFilesTheRestAreCounted) {
    std::vector<std::wstring> paths;
    std::vector<std::wstring> lines;
    for (int k = 0; k < 24; ++k) {
        std::wstring name = L"note" + std::to_wstring(10 + k) + L".txt";
        paths.push_back(AddSample(folder, name));
        if (k < 20) {
            lines.push_back(L"note" + std::to_wstring(10 + k) + L".txt" + NOT_EDL_REASON);
        }
    }
    paths.push_back(AddSample(folder, L"kept.EDL"));
    std::vector<SpyEvent> boxes = Boxes(Drop(paths));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION, RefusedList(lines, 4), MB_ICONWARNING, window);
    EXPECT_EQ(std::vector<std::wstring>{L"kept.EDL"}, Names());
}

TEST_F(AddFilesTest, ANameAlreadyListedIsRefusedWhateverItsFolder) {
    std::wstring other = NewFolder();
    std::wstring first = AddSample(folder, L"a.EDL");
    std::wstring second = AddSample(other, L"a.edl");
    std::wstring upper = AddSample(other, L"A.EDL");
    std::wstring last = AddSample(other, L"z.EDL");
    ASSERT_TRUE(Boxes(Drop({first})).empty());

    // The same name from another folder is refused, naming that folder; the file after the
    // refused one still is taken.
    std::vector<SpyEvent> boxes = Boxes(Drop({second, last}));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION, Duplicate(L"a.EDL", Location(other)), MB_ICONWARNING, window);
    EXPECT_EQ((std::vector<std::wstring>{L"a.EDL", L"z.EDL"}), Names());
    EXPECT_EQ(Location(folder), Rows()[0].location);

    // A.EDL differs only in case, one file on Windows: refused too, but for the listed file.
    boxes = Boxes(Drop({upper}));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION, Duplicate(L"A.EDL", Location(other)), MB_ICONWARNING, window);
    boxes = Boxes(Drop({folder + L"A.EDL"}));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_EQ((std::vector<std::wstring>{L"a.EDL", L"z.EDL"}), Names());

    // The very same file again, in one drop or a later one, is simply there already.
    std::wstring twice = AddSample(folder, L"twice.EDL");
    boxes = Boxes(Drop({twice, twice}));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    boxes = Boxes(Drop({first, twice}));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_EQ((std::vector<std::wstring>{L"a.EDL", L"z.EDL", L"twice.EDL"}), Names());
    EXPECT_EQ(L"ファイル参照数:3", Label());
}

TEST_F(AddFilesTest, APathTooLongForAJobIsRefusedAndTheDropGoesOn) {
    // A full path one unit longer than a job holds, shown whole in the message; the file need
    // not exist.
    std::wstring deep = L"C:\\" + std::wstring(JOB_PATH_CHARS - 3 - 1 - 5, L'd');
    std::wstring longName = std::wstring(256, L'n') + L".EDL";  // longer than a display name
    std::wstring fine = AddSample(folder, L"fine.EDL");
    std::vector<SpyEvent> boxes = Boxes(Drop({deep + L"\\X.edl", fine, folder + longName}));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    // In the list the long name is cut to 258 units and an ellipsis.
    ExpectBox(
        boxes[0], ADD_CAPTION,
        RefusedList({L"X.EDL" + TOO_LONG_REASON, longName.substr(0, 258) + L"…" + TOO_LONG_REASON}),
        MB_ICONWARNING, window);
    EXPECT_EQ(std::vector<std::wstring>{L"fine.EDL"}, Names());

    // Alone, a refused file is named in full with its folder.
    boxes = Boxes(Drop({deep + L"\\X.edl"}));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION, TooLong(L"X.EDL", deep), MB_ICONWARNING, window);
}

TEST_F(AddFilesTest, ADroppedFileThatIsGoneIsRefused) {
    std::wstring here = AddSample(folder, L"here.EDL");
    std::vector<SpyEvent> boxes = Boxes(Drop({folder + L"gone.edl", here}));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION, Missing(L"gone.EDL", Location(folder)), MB_ICONWARNING,
              window);
    EXPECT_EQ(std::vector<std::wstring>{L"here.EDL"}, Names());
}

TEST_F(AddFilesTest, ADroppedFolderAddsTheEdlFilesDirectlyInside) {
    std::wstring dropped = NewFolder();
    AddSample(dropped, L"b.edl");
    AddSample(dropped, L"A.EDL");
    AddSample(dropped, L"notes.txt");
    AddSample(dropped, L"take.edlx");
    std::wstring inner = dropped + L"inner\\";
    ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr));
    std::wstring deeper = AddSample(inner, L"deeper.EDL");
    std::wstring single = AddSample(folder, L"single.EDL");

    std::vector<SpyEvent> boxes = Boxes(Drop({Location(dropped), single}));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ(L"A.EDL", rows[0].name) << "in the order of their names";
    EXPECT_EQ(L"b.EDL", rows[1].name) << "the extension upper-cased";
    EXPECT_EQ(L"single.EDL", rows[2].name);
    EXPECT_EQ(Location(dropped), rows[0].location);
    EXPECT_EQ(Location(dropped), rows[1].location);
    EXPECT_EQ(2, rows[1].stateImage);
    EXPECT_EQ(L"ファイル参照数:3", Label());

    // Dropped again: its files are simply there already.
    boxes = Boxes(Drop({Location(dropped)}));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_EQ(3u, Rows().size());
    DeleteFileW(deeper.c_str());
    RemoveDirectoryW(inner.c_str());

    std::wstring empty = NewFolder();
    AddSample(empty, L"readme.txt");
    boxes = Boxes(Drop({Location(empty)}));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(
        boxes[0], ADD_CAPTION,
        L"フォルダ: \"" + Location(empty) + L"\"\n\nこのフォルダには EDL ファイルがありません。",
        MB_ICONWARNING, window);
    EXPECT_EQ(3u, Rows().size());
}

// 320 files added in one drop (255 files and a folder of 65), three times into an empty list.
// How fast is for bench/RESULTS.md to record, not for a test to decide.
TEST_F(AddFilesTest, ThreeHundredTwentyFilesAreAddedInOneDrop) {
    std::wstring inner = NewFolder();
    std::vector<std::wstring> paths;
    for (int k = 0; k < 255; ++k) {
        paths.push_back(AddSample(folder, L"F" + std::to_wstring(1000 + k) + L".EDL"));
    }
    for (int k = 0; k < 65; ++k) {
        AddSample(inner, L"G" + std::to_wstring(1000 + k) + L".EDL");
    }
    paths.push_back(Location(inner));
    for (int round = 0; round < 3; ++round) {
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        ASSERT_TRUE(Rows().empty());
        std::vector<SpyEvent> boxes = Boxes(Drop(paths));
        ASSERT_TRUE(boxes.empty()) << Describe(boxes);
        ASSERT_EQ(320u, Rows().size());
        EXPECT_EQ(L"ファイル参照数:320", Label());
    }
    std::vector<std::wstring> names = Names();
    EXPECT_EQ(L"F1000.EDL", names.front());
    EXPECT_EQ(L"G1064.EDL", names.back());
    EXPECT_TRUE(Enabled(IDC_CONVERT));
    EXPECT_TRUE(Enabled(IDC_SELECT_ALL));
}

TEST_F(AddFilesTest, RowsAfterASortAreAppendedAtTheEnd) {
    ASSERT_TRUE(Boxes(Drop({AddSample(folder, L"m.EDL"), AddSample(folder, L"b.EDL")})).empty());
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = IDC_FILE_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 0;
    SendMessageW(window, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&click));
    ASSERT_EQ((std::vector<std::wstring>{L"b.EDL", L"m.EDL"}), Names());
    ASSERT_TRUE(Boxes(Drop({AddSample(folder, L"a.EDL")})).empty());
    EXPECT_EQ((std::vector<std::wstring>{L"b.EDL", L"m.EDL", L"a.EDL"}), Names());
}

// --- The open dialog -----------------------------------------------------------------------------

// What the helper thread saw of the open dialog.
struct OpenDialogSeen {
    HWND dialog;
    std::wstring title;
    std::wstring filter;
    bool readOnlyBoxShown;
};

// Runs the open dialog (command 32886) with the current folder `in`; a helper thread types
// `typed` into its file name box and presses Open, or cancels when `typed` is empty.
class OpenDialogTest : public MainWindowFixture {
  protected:
    std::vector<SpyEvent> OpenAndType(const std::wstring& in, const std::wstring& typed) {
        wchar_t previous[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, previous);
        SetCurrentDirectoryW(in.c_str());
        seen = OpenDialogSeen{};
        std::thread helper([this, typed] {
            HWND dialog = WaitForDialog(
                [](HWND candidate) { return GetDlgItem(candidate, cmb13) != nullptr; });
            if (dialog == nullptr) {
                return;
            }
            seen.dialog = dialog;
            seen.title = WindowText(dialog);
            seen.filter = WindowText(GetDlgItem(dialog, cmb1));
            seen.readOnlyBoxShown = IsWindowVisible(GetDlgItem(dialog, chx1)) != FALSE;
            if (typed.empty()) {
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            SetWindowTextW(GetDlgItem(dialog, cmb13), typed.c_str());
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        std::vector<SpyEvent> events = Command(IDM_OPEN_FILES);
        helper.join();
        SetCurrentDirectoryW(previous);
        EXPECT_NE(nullptr, seen.dialog) << "the open dialog did not come up";
        return events;
    }

    OpenDialogSeen seen{};
};

TEST_F(OpenDialogTest, ShowsItsTitleAndFilterAndAddsOneChosenPath) {
    std::wstring path = AddSample(folder, L"single.edl");
    SetLocalWriteTime(path, 2020, 1, 2, 3, 4);
    std::vector<SpyEvent> boxes = Boxes(OpenAndType(folder, L"single.edl"));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_EQ(ADD_CAPTION, seen.title);
    EXPECT_EQ(L"SONY BVE-9100 EDL(*.EDL)", seen.filter);
    EXPECT_FALSE(seen.readOnlyBoxShown);

    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"single.EDL", rows[0].name);
    EXPECT_EQ(L"2020/01/02 03:04", rows[0].update);
    EXPECT_EQ(Location(folder), rows[0].location);
    EXPECT_EQ(2, rows[0].stateImage);
    EXPECT_EQ(list, GetFocus());
}

TEST_F(OpenDialogTest, TheDefaultExtensionCompletesATypedName) {
    AddSample(folder, L"typed.EDL");
    EXPECT_TRUE(Boxes(OpenAndType(folder, L"typed")).empty());
    EXPECT_EQ(std::vector<std::wstring>{L"typed.EDL"}, Names());
}

TEST_F(OpenDialogTest, AddsSeveralChosenNamesInTheDialogsOrder) {
    AddSample(folder, L"c.edl");
    AddSample(folder, L"a.edl");
    AddSample(folder, L"b.txt");  // chosen by name: no EDL file all the same
    std::vector<SpyEvent> boxes = Boxes(OpenAndType(folder, L"\"c.edl\" \"b.txt\" \"a.edl\""));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION, NotEdl(folder + L"b.txt"), MB_ICONWARNING, window);
    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(2u, rows.size());
    const wchar_t* names[] = {L"c.EDL", L"a.EDL"};
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(names[k], rows[k].name);
        EXPECT_EQ(Location(folder), rows[k].location);
        EXPECT_EQ(2, rows[k].stateImage);
    }
}

TEST_F(OpenDialogTest, ChosenNamesAreRefusedWhenListedOrMissing) {
    std::wstring other = NewFolder();
    ASSERT_TRUE(Boxes(Drop({AddSample(other, L"a.EDL")})).empty());
    AddSample(folder, L"a.edl");
    AddSample(folder, L"b.edl");
    std::vector<SpyEvent> boxes =
        Boxes(OpenAndType(folder, L"\"a.edl\" \"missing.edl\" \"b.edl\""));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION,
              RefusedList({L"a.EDL" + DUPLICATE_REASON, L"missing.EDL" + MISSING_REASON}),
              MB_ICONWARNING, window);
    EXPECT_EQ((std::vector<std::wstring>{L"a.EDL", L"b.EDL"}), Names());
    EXPECT_EQ(Location(other), Rows()[0].location);
}

TEST_F(OpenDialogTest, ATypedNameOfAMissingFileAddsNothing) {
    std::vector<SpyEvent> boxes = Boxes(OpenAndType(folder, L"nothing.edl"));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_TRUE(Rows().empty());
}

TEST_F(OpenDialogTest, CancelAddsNothing) {
    AddSample(folder, L"a.edl");
    std::vector<SpyEvent> boxes = Boxes(OpenAndType(folder, L""));
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_TRUE(Rows().empty());
}

// Wine's dialog writes a selection larger than the result past its end instead of failing, so
// the failure Windows reports is handed to the handler as the dialog would.
TEST_F(AddFilesTest, ASelectionTooLargeForTheResultIsSaidSo) {
    StartSpy();
    OnOpenDialogFailed(window, FNERR_BUFFERTOOSMALL);
    std::vector<SpyEvent> boxes = Boxes(StopSpy());
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    ExpectBox(boxes[0], ADD_CAPTION,
              L"選択したファイルが多すぎます。\n一度に選択するファイルを減らしてください。",
              MB_ICONWARNING, window);

    // A cancel, or another failure, says nothing.
    StartSpy();
    OnOpenDialogFailed(window, 0);
    OnOpenDialogFailed(window, CDERR_DIALOGFAILURE);
    boxes = Boxes(StopSpy());
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_TRUE(Rows().empty());
}

}  // namespace
