// The main window's file list: the buttons and the label that follow its rows, sorting by
// column, the row commands, and Convert of the ticked rows.
#include <algorithm>

#include "main_window_fixture.h"

namespace {

// A 32-bit top-down bitmap selected into a memory DC, for drawing a control off the screen and
// reading its pixels (0x00RRGGBB, the top byte left undefined by GDI).
struct Canvas {
    HDC screen;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    const DWORD* pixels;

    Canvas(int width, int height) : screen(GetDC(nullptr)), dc(CreateCompatibleDC(screen)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
        pixels = static_cast<const DWORD*>(bits);
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

class FileListTest : public MainWindowFixture {
  protected:
    // Drops files of these names from `into` and checks that every one was taken.
    void DropNamed(const std::wstring& into, const std::vector<std::wstring>& names) {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : names) {
            paths.push_back(AddSample(into, name));
        }
        std::vector<SpyEvent> boxes = Boxes(Drop(paths));
        ASSERT_TRUE(boxes.empty()) << Describe(boxes);
    }

    // A click on a column's header, as the mouse makes it: in the middle of the part of the
    // header that shows.
    void ClickHeader(int column) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        RECT rect{};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&rect));
        RECT shown{};
        GetClientRect(header, &shown);
        IntersectRect(&rect, &rect, &shown);
        ASSERT_FALSE(IsRectEmpty(&rect)) << "column " << column << " is out of sight";
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(header, WM_LBUTTONUP, 0, point);
    }

    void Notify(UINT code, UINT_PTR from, int x, int y) {
        NMITEMACTIVATE notification{};
        notification.hdr.hwndFrom = list;
        notification.hdr.idFrom = from;
        notification.hdr.code = code;
        notification.ptAction = POINT{x, y};
        SendMessageW(window, WM_NOTIFY, from, reinterpret_cast<LPARAM>(&notification));
    }

    std::vector<int> StateImages() {
        std::vector<int> images;
        for (const ListRow& row : Rows()) {
            images.push_back(row.stateImage);
        }
        return images;
    }

    // Toggle, select all, remove, convert.
    std::vector<bool> Buttons() {
        return {Enabled(IDC_TOGGLE_TARGET), Enabled(IDC_SELECT_ALL), Enabled(IDC_REMOVE),
                Enabled(IDC_CONVERT)};
    }
};

using Flags = std::vector<bool>;

TEST_F(FileListTest, ButtonsAndLabelFollowTheRows) {
    EXPECT_EQ((Flags{false, false, false, false}), Buttons());
    DropNamed(folder, {L"a.EDL", L"b.EDL", L"c.EDL"});
    EXPECT_EQ((Flags{false, true, false, true}), Buttons()) << "rows, none selected";
    EXPECT_EQ(L"ファイル参照数:3", Label());
    EXPECT_TRUE(Enabled(IDC_CHOOSE_OUTPUT_FOLDER));

    SelectOnly({1});
    EXPECT_EQ((Flags{true, true, true, true}), Buttons()) << "a row selected";

    // Every box cleared: nothing to convert; one ticked again: Convert is back.
    for (int row = 0; row < 3; ++row) {
        SetStateImage(row, 1);
    }
    EXPECT_EQ((Flags{true, true, true, false}), Buttons());
    SetStateImage(2, 2);
    EXPECT_TRUE(Enabled(IDC_CONVERT));
}

TEST_F(FileListTest, SelectAllSelectsEveryRowAndFocusesTheList) {
    DropNamed(folder, {L"a.EDL", L"b.EDL", L"c.EDL"});
    SetFocus(GetDlgItem(window, IDC_CHOOSE_OUTPUT_FOLDER));
    Command(IDC_SELECT_ALL);
    for (const ListRow& row : Rows()) {
        EXPECT_TRUE(row.selected) << Utf8(row.name);
    }
    EXPECT_EQ(list, GetFocus());
    EXPECT_EQ((Flags{true, true, true, true}), Buttons());
}

TEST_F(FileListTest, RemoveDeletesTheSelectedRowsAndSelectsTheFirst) {
    DropNamed(folder, {L"a.EDL", L"b.EDL", L"c.EDL", L"d.EDL"});
    SelectOnly({0, 2});
    SetFocus(GetDlgItem(window, IDC_CHOOSE_OUTPUT_FOLDER));
    Command(IDC_REMOVE);
    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(L"b.EDL", rows[0].name);
    EXPECT_EQ(L"d.EDL", rows[1].name);
    EXPECT_TRUE(rows[0].selected) << "row 0 selected afterwards";
    EXPECT_FALSE(rows[1].selected);
    EXPECT_EQ(L"ファイル参照数:2", Label());
    EXPECT_EQ((Flags{true, true, true, true}), Buttons()) << "following row 0";
    EXPECT_EQ(list, GetFocus());

    // The last rows gone: the label at 0, select all and convert off.
    Command(IDC_SELECT_ALL);
    Command(IDC_REMOVE);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(L"ファイル参照数:0", Label());
    EXPECT_FALSE(Enabled(IDC_SELECT_ALL));
    EXPECT_FALSE(Enabled(IDC_CONVERT));

    // Remove without a selection deletes nothing.
    DropNamed(folder, {L"e.EDL"});
    Command(IDC_REMOVE);
    EXPECT_EQ(1u, Rows().size());
}

TEST_F(FileListTest, ToggleFollowsTheWindowsOwnStateNotTheRows) {
    DropNamed(folder, {L"a.EDL", L"b.EDL", L"c.EDL"});
    SelectOnly({0, 1});
    // The first Toggle after start ticks the selected rows: already ticked, they stay so.
    Command(IDC_TOGGLE_TARGET);
    EXPECT_EQ((std::vector<int>{2, 2, 2}), StateImages());
    EXPECT_EQ(list, GetFocus());
    // The second clears them; the unselected row keeps its tick.
    Command(IDC_TOGGLE_TARGET);
    EXPECT_EQ((std::vector<int>{1, 1, 2}), StateImages());
    Command(IDC_TOGGLE_TARGET);
    EXPECT_EQ((std::vector<int>{2, 2, 2}), StateImages());

    // Without a selection Toggle only turns the window's state round.
    SelectOnly({});
    Command(IDC_TOGGLE_TARGET);
    EXPECT_EQ((std::vector<int>{2, 2, 2}), StateImages());
    SelectOnly({2});
    Command(IDC_TOGGLE_TARGET);
    EXPECT_EQ((std::vector<int>{2, 2, 2}), StateImages()) << "ticks: the state was 0 again";

    // Everything excluded: Convert goes off.
    Command(IDC_SELECT_ALL);
    Command(IDC_TOGGLE_TARGET);
    EXPECT_EQ((std::vector<int>{1, 1, 1}), StateImages());
    EXPECT_FALSE(Enabled(IDC_CONVERT));
}

TEST_F(FileListTest, AClickInTheTopCornerSuspendsConvertUntilTheNextChange) {
    DropNamed(folder, {L"a.EDL", L"b.EDL", L"c.EDL"});
    ASSERT_TRUE(Enabled(IDC_CONVERT));
    Notify(NM_CLICK, IDC_FILE_LIST, 40, 40);
    EXPECT_TRUE(Enabled(IDC_CONVERT)) << "anywhere else a click changes nothing";
    Notify(NM_CLICK, IDC_FILE_LIST, 21, 5);
    EXPECT_TRUE(Enabled(IDC_CONVERT));
    Notify(NM_CLICK, 999, 10, 5);
    EXPECT_TRUE(Enabled(IDC_CONVERT)) << "another control's click is not the list's";

    Notify(NM_CLICK, IDC_FILE_LIST, 10, 5);
    EXPECT_FALSE(Enabled(IDC_CONVERT));
    // A deletion counts with the suspended target count...
    SendMessageW(list, LVM_DELETEITEM, 2, 0);
    EXPECT_FALSE(Enabled(IDC_CONVERT));
    EXPECT_EQ(L"ファイル参照数:2", Label());
    // ...the next change counts the targets again.
    SetStateImage(0, 1);
    EXPECT_TRUE(Enabled(IDC_CONVERT));
}

TEST_F(FileListTest, ADeletionCountsTheRowAsGoneForSelectAllAndConvert) {
    DropNamed(folder, {L"a.EDL"});
    ASSERT_TRUE(Enabled(IDC_SELECT_ALL));
    SendMessageW(list, LVM_DELETEITEM, 0, 0);
    EXPECT_FALSE(Enabled(IDC_SELECT_ALL));
    EXPECT_FALSE(Enabled(IDC_CONVERT));
    EXPECT_EQ(L"ファイル参照数:0", Label());
}

TEST_F(FileListTest, TheLabelIsYellowOnBlack) {
    DropNamed(folder, {L"a.EDL", L"b.EDL"});
    HWND label = GetDlgItem(window, IDC_FILE_COUNT);
    EXPECT_EQ(L"ファイル参照数:2", WindowText(label));

    // Drawn into a bitmap of its own: the window's WM_DRAWITEM for the label.
    const int width = 120;
    const int height = 20;
    Canvas canvas(width, height);
    auto draw = [&](UINT id, HWND item) {
        PatBlt(canvas.dc, 0, 0, width, height, WHITENESS);
        DRAWITEMSTRUCT request{};
        request.CtlType = ODT_STATIC;
        request.CtlID = id;
        request.itemAction = ODA_DRAWENTIRE;
        request.hwndItem = item;
        request.hDC = canvas.dc;
        request.rcItem = RECT{0, 0, width, height};
        SendMessageW(window, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&request));
        GdiFlush();
    };
    const DWORD* pixels = canvas.pixels;
    // The colour of each pixel, without the byte GDI leaves undefined.
    auto count = [&](DWORD color) {
        return std::count_if(pixels, pixels + width * height,
                             [color](DWORD pixel) { return (pixel & 0xFFFFFF) == color; });
    };
    const DWORD BLACK = 0x000000;
    const DWORD YELLOW = 0xFFFF00;  // in a DIB: 0x00RRGGBB
    const DWORD WHITE = 0xFFFFFF;

    draw(IDC_FILE_COUNT, label);
    EXPECT_EQ(BLACK, pixels[0] & 0xFFFFFF) << "the background";
    EXPECT_GT(count(YELLOW), 10) << "the text";
    EXPECT_EQ(0, count(WHITE)) << "the whole rectangle filled";
    // Any other control is not drawn.
    draw(IDC_PICTURE, GetDlgItem(window, IDC_PICTURE));
    EXPECT_EQ(width * height, count(WHITE));
}

// --- Sorting -------------------------------------------------------------------------------------

TEST_F(FileListTest, EachColumnSortsInItsOwnDirection) {
    std::wstring second = NewFolder();
    DropNamed(folder, {L"b.EDL", L"C.EDL"});
    DropNamed(second, {L"a.EDL"});
    SetLocalWriteTime(folder + L"b.EDL", 2020, 5, 1, 10, 0);
    SetLocalWriteTime(folder + L"C.EDL", 2018, 1, 1, 0, 0);
    SetLocalWriteTime(second + L"a.EDL", 2021, 12, 24, 18, 30);
    // The update times were read when the rows were added: add them again.
    Command(IDC_SELECT_ALL);
    Command(IDC_REMOVE);
    std::vector<SpyEvent> boxes =
        Boxes(Drop({folder + L"b.EDL", folder + L"C.EDL", second + L"a.EDL"}));
    ASSERT_TRUE(boxes.empty()) << Describe(boxes);

    using NameList = std::vector<std::wstring>;
    ClickHeader(1);
    EXPECT_EQ((NameList{L"C.EDL", L"b.EDL", L"a.EDL"}), Names()) << "Update: oldest first";
    ClickHeader(1);
    EXPECT_EQ((NameList{L"a.EDL", L"b.EDL", L"C.EDL"}), Names()) << "Update: newest first";

    // Names by the system's comparison: a, b, C (not C first, as by code units).
    ClickHeader(0);
    EXPECT_EQ((NameList{L"a.EDL", L"b.EDL", L"C.EDL"}), Names());
    ClickHeader(1);  // Update goes back to ascending: its own direction
    EXPECT_EQ((NameList{L"C.EDL", L"b.EDL", L"a.EDL"}), Names());
    ClickHeader(0);  // and Name goes on to descending
    EXPECT_EQ((NameList{L"C.EDL", L"b.EDL", L"a.EDL"}), Names());

    // Location: the two folders differ only in their last digits.
    bool firstIsLower = lstrcmpW(Location(folder).c_str(), Location(second).c_str()) < 0;
    ClickHeader(2);
    std::vector<ListRow> rows = Rows();
    std::wstring low = firstIsLower ? Location(folder) : Location(second);
    std::wstring high = firstIsLower ? Location(second) : Location(folder);
    EXPECT_EQ(low, rows.front().location);
    EXPECT_EQ(high, rows.back().location);
    ClickHeader(2);
    rows = Rows();
    EXPECT_EQ(high, rows.front().location);
    EXPECT_EQ(low, rows.back().location);

    // Rows keep their texts and ticks through the sorts.
    for (const ListRow& row : rows) {
        EXPECT_EQ(2, row.stateImage);
        EXPECT_EQ(row.name == L"a.EDL" ? Location(second) : Location(folder), row.location);
    }
    auto a = std::find_if(rows.begin(), rows.end(),
                          [](const ListRow& row) { return row.name == L"a.EDL"; });
    ASSERT_NE(rows.end(), a);
    EXPECT_EQ(L"2021/12/24 18:30", a->update);
}

TEST_F(FileListTest, OnlyTheListsOwnHeaderClicksSort) {
    DropNamed(folder, {L"b.EDL", L"a.EDL"});
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = 999;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 0;
    SendMessageW(window, WM_NOTIFY, 999, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ((std::vector<std::wstring>{L"b.EDL", L"a.EDL"}), Names());
}

// --- Convert -------------------------------------------------------------------------------------

// Where the converted files go, for one test.
void UseOutputFolder(const std::wstring& path) {
    std::u16string text(path.begin(), path.end());
    std::copy(text.c_str(), text.c_str() + text.size() + 1, conversionJob.outputFolder);
}

std::vector<std::wstring> FileLabels(const std::vector<SpyEvent>& events) {
    std::vector<std::wstring> labels;
    for (const SpyEvent& event : events) {
        if (event.kind == SpyEventKind::FILE_LABEL) {
            labels.push_back(event.text);
        }
    }
    return labels;
}

TEST_F(FileListTest, ConvertTakesTheTickedRowsInTheOrderShownAndKeepsTheList) {
    DropNamed(folder, {L"E1.EDL", L"D2.EDL", L"C3.EDL", L"B4.EDL", L"A5.EDL"});
    SetStateImage(1, 1);
    SetStateImage(3, 1);
    SelectOnly({2});
    std::wstring output = NewFolder();
    UseOutputFolder(output);
    std::vector<ListRow> before = Rows();

    std::vector<SpyEvent> events = Command(IDC_CONVERT);
    EXPECT_EQ((std::vector<std::wstring>{L"E1.EDL", L"C3.EDL", L"A5.EDL"}), FileLabels(events))
        << Describe(events);
    std::vector<SpyEvent> boxes = Boxes(events);
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    EXPECT_EQ(L"3個中3個の変換が終了しました。", boxes[0].text);
    EXPECT_EQ(L"タムセル", boxes[0].caption);
    EXPECT_EQ(3, conversionJob.fileCount);
    EXPECT_EQ(0u, conversionJob.options);
    EXPECT_EQ(Wide(u"E1.EDL"), Wide(conversionJob.displayNames[0]));
    EXPECT_EQ(folder + L"C3.EDL", Wide(conversionJob.sourcePaths[1]));

    std::vector<std::wstring> written = FilesMatching(output, L"*");
    std::sort(written.begin(), written.end());
    EXPECT_EQ((std::vector<std::wstring>{L"C_A5.EDL", L"C_C3.EDL", L"C_E1.EDL"}), written);

    // The list as it was, the focus on it; the same batch converts again at once, with the
    // option word as it is now.
    std::vector<ListRow> after = Rows();
    ASSERT_EQ(before.size(), after.size());
    for (size_t k = 0; k < before.size(); ++k) {
        EXPECT_EQ(before[k].name, after[k].name);
        EXPECT_EQ(before[k].location, after[k].location);
        EXPECT_EQ(before[k].stateImage, after[k].stateImage);
        EXPECT_EQ(before[k].selected, after[k].selected);
    }
    EXPECT_EQ(list, GetFocus());
    Command(IDM_DELETE_INTERNAL_DATA);
    events = Command(IDC_CONVERT);
    EXPECT_EQ(3u, FileLabels(events).size()) << Describe(events);
    EXPECT_EQ(0x2u, conversionJob.options);
}

TEST_F(FileListTest, ConvertRefusesMoreFilesThanAJobTakes) {
    std::wstring second = NewFolder();
    std::vector<std::wstring> names;
    for (int k = 0; k < 256; ++k) {
        names.push_back(L"F" + std::to_wstring(1000 + k) + L".EDL");
    }
    DropNamed(folder, names);
    names.clear();
    for (int k = 0; k < 65; ++k) {
        names.push_back(L"G" + std::to_wstring(1000 + k) + L".EDL");
    }
    DropNamed(second, names);
    ASSERT_EQ(321u, Rows().size());
    std::wstring output = NewFolder();
    UseOutputFolder(output);

    std::vector<SpyEvent> events = Command(IDC_CONVERT);
    std::vector<SpyEvent> boxes = Boxes(events);
    ASSERT_EQ(1u, boxes.size()) << Describe(events);
    ExpectBox(boxes[0], L"タムセル",
              L"一度に変換できるファイル数は320個までです。\n変換対象を減らしてください。",
              MB_ICONWARNING, window);
    EXPECT_TRUE(FileLabels(events).empty()) << "no job started";
    EXPECT_TRUE(FilesMatching(output, L"*").empty());
    EXPECT_EQ(321u, Rows().size());
    EXPECT_EQ(list, GetFocus());
}

TEST_F(FileListTest, ConvertIntoAFolderThatIsGoneSaysSoOnceAndStartsNoJob) {
    DropNamed(folder, {L"A.EDL", L"B.EDL", L"C.EDL"});
    std::wstring gone = NewFolder();
    UseOutputFolder(gone);
    ASSERT_TRUE(RemoveDirectoryW(gone.c_str()));

    std::vector<SpyEvent> events = Command(IDC_CONVERT);
    std::vector<SpyEvent> boxes = Boxes(events);
    ASSERT_EQ(1u, boxes.size()) << "one message, not one a file: " << Describe(events);
    EXPECT_EQ(0u, boxes[0].text.find(L"保存先:[" + gone + L"]")) << Utf8(boxes[0].text);
    EXPECT_TRUE(FileLabels(events).empty()) << "no job started";
    EXPECT_EQ(list, GetFocus());
}

// --- The result column ---------------------------------------------------------------------

// The results column's texts, row by row.
std::vector<std::wstring> ResultTexts(const std::vector<ListRow>& rows) {
    std::vector<std::wstring> texts;
    for (const ListRow& row : rows) {
        texts.push_back(row.result);
    }
    return texts;
}

TEST_F(FileListTest, WithTheListsEachConvertedRowAndTheTallySayWhatTheyWrote) {
    std::wstring output = NewFolder();
    UseOutputFolder(output);
    std::vector<std::wstring> paths = {AddSample(folder, L"GOOD.EDL"), folder + L"NOTES.EDL",
                                       AddSample(folder, L"MORE.EDL")};
    WriteBytes(paths[1], EdlWithoutEvents());
    ASSERT_TRUE(Boxes(Drop(paths)).empty());
    for (UINT command : {IDM_EXPORT_CMX, IDM_CMX_RATE_25, IDM_EXPORT_EVENTS, IDM_EXPORT_PULL}) {
        Command(command);
    }

    std::vector<SpyEvent> boxes = Boxes(Command(IDC_CONVERT));
    ASSERT_EQ(2u, boxes.size()) << Describe(boxes);
    for (const wchar_t* name : {L"C_GOOD.EDL", L"CMX_GOOD.EDL", L"EVENTS_GOOD.csv",
                                L"PULL_GOOD.csv", L"PULL_MORE.csv", L"PULL_ALL.csv"}) {
        EXPECT_TRUE(FileExists(output + name)) << Utf8(name);
    }
    EXPECT_FALSE(FileExists(output + L"CMX_NOTES.EDL") || FileExists(output + L"PULL_NOTES.csv"))
        << "a refused file writes nothing";
    EXPECT_NE(std::string::npos, ReadBytes(output + L"CMX_GOOD.EDL").find("FCM: NON-DROP"));
    const ConversionReport& good = conversionJob.reports[0];
    const ConversionReport& more = conversionJob.reports[2];
    ASSERT_GT(good.cmx.eventsWritten, 0u);
    auto number = [](uint32_t value) { return std::to_wstring(value); };
    std::wstring lines =
        L"CMX 3600 形式: 2 個\nイベント " +
        number(good.cmx.eventsWritten + more.cmx.eventsWritten) + L"、ディゾルブ " +
        number(good.cmx.dissolvesSplit + more.cmx.dissolvesSplit) + L"\nコメントとして残した項目 " +
        number(good.cmx.keptAsComments + more.cmx.keptAsComments) + L"\n名前を変えたリール " +
        number(good.cmx.reelsRenamed + more.cmx.reelsRenamed) + L"\nイベント表: 2 個 (" +
        number(good.events.rows + more.events.rows) +
        L" 行)\nテープ取り出しリスト: 2 個\nすべてをまとめた PULL_ALL.csv:\nテープ " +
        number(good.pull.tapes) + L" 本、範囲 " + number(good.pull.ranges);  // the same tapes
    EXPECT_EQ(
        L"3個中2個の変換が終了しました。\n"
        L"変換できなかったファイル: 1 個\n（一覧の「結果」欄をご覧ください）\n" +
            lines,
        boxes[1].text);
    std::wstring converted = L"変換済み・CMX " + number(good.cmx.eventsWritten) +
                             L"件・コメント行 " + number(good.cmx.keptAsComments) + L"・表 " +
                             number(good.events.rows) + L"行・テープ " + number(good.pull.tapes) +
                             L"本";
    EXPECT_EQ(converted, ResultTexts(Rows())[0]);
    EXPECT_EQ(L"不明な形式", ResultTexts(Rows())[1]);
    int textWidth = static_cast<int>(
        SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(converted.c_str())));
    EXPECT_LT(textWidth, SendMessageW(list, LVM_GETCOLUMNWIDTH, COLUMN_RESULT, 0))
        << "the column widens to the longer text";
}

TEST_F(FileListTest, AfterAJobEachRowItTookShowsItsOutcome) {
    std::wstring output = NewFolder();
    UseOutputFolder(output);
    std::vector<std::wstring> paths = {AddSample(folder, L"GOOD.EDL"),
                                       folder + L"CMX.EDL",
                                       folder + L"NOTES.EDL",
                                       AddSample(folder, L"LOCKED.EDL"),
                                       AddSample(folder, L"LEFT_OUT.EDL"),
                                       AddSample(folder, L"LAST.EDL")};
    WriteBytes(paths[1], CmxEdl());
    WriteBytes(paths[2], EdlWithoutEvents());
    ASSERT_TRUE(Boxes(Drop(paths)).empty());
    SetStateImage(4, 1);
    EXPECT_EQ(std::vector<std::wstring>(6, L""), ResultTexts(Rows())) << "empty before a job";

    // Held open without sharing: the worker cannot open it.
    HANDLE locked =
        CreateFileW(paths[3].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    std::vector<SpyEvent> boxes = Boxes(Command(IDC_CONVERT));
    CloseHandle(locked);
    ASSERT_EQ(4u, boxes.size()) << Describe(boxes);

    std::vector<ListRow> rows = Rows();
    EXPECT_EQ((std::vector<std::wstring>{L"変換済み", L"対象外 (CMX 形式の EDL)", L"不明な形式",
                                         L"開けません", L"", L"変換済み"}),
              ResultTexts(rows));
    // A failure shows the error icon, a converted file its own; the row the job did not take
    // keeps the file's icon.
    EXPECT_EQ(shell.convertedImage, rows[0].image);
    EXPECT_EQ(shell.failedImage, rows[1].image);
    EXPECT_EQ(shell.failedImage, rows[3].image);
    EXPECT_EQ(shell.fileImage, rows[4].image);
    EXPECT_NE(shell.fileImage, shell.failedImage);
    EXPECT_NE(shell.convertedImage, shell.failedImage);

    // A row added after the job starts empty.
    ASSERT_TRUE(Boxes(Drop({AddSample(folder, L"NEW.EDL")})).empty());
    rows = Rows();
    ASSERT_EQ(7u, rows.size());
    EXPECT_EQ(L"", rows[6].result);
    EXPECT_EQ(shell.fileImage, rows[6].image);

    // The next job shows its own outcomes: rows it did not take are empty again.
    for (int row = 0; row < 7; ++row) {
        SetStateImage(row, row == 2 || row == 6 ? 2 : 1);
    }
    boxes = Boxes(Command(IDC_CONVERT));
    EXPECT_EQ(2u, boxes.size()) << Describe(boxes);
    EXPECT_EQ((std::vector<std::wstring>{L"", L"", L"不明な形式", L"", L"", L"", L"変換済み"}),
              ResultTexts(Rows()));
}

TEST_F(FileListTest, FilesACancelLeftShowTheyWereNotReached) {
    std::wstring output = NewFolder();
    UseOutputFolder(output);
    DropNamed(folder, {L"A.EDL", L"B.EDL", L"C.EDL"});
    StartSpy([](const SpyEvent& event) {
        if (event.kind == SpyEventKind::STATUS_LABEL &&
            event.text.find(L"(2/3)") != std::wstring::npos) {
            SendMessageW(GetDlgItem(event.dialog, IDC_PROGRESS_CANCEL), BM_CLICK, 0, 0);
        }
    });
    SendMessageW(window, WM_COMMAND, IDC_CONVERT, 0);
    StopSpy();
    std::vector<ListRow> rows = Rows();
    // The file in hand at the cancel is finished; the one after it is never started.
    EXPECT_EQ((std::vector<std::wstring>{L"変換済み", L"変換済み", L"中止"}), ResultTexts(rows));
    EXPECT_EQ(shell.fileImage, rows[2].image);
    EXPECT_FALSE(FileExists(output + L"C_C.EDL"));
}

TEST_F(FileListTest, TheResultColumnSortsLikeTheOthers) {
    std::wstring output = NewFolder();
    UseOutputFolder(output);
    std::vector<std::wstring> paths = {AddSample(folder, L"A.EDL"), folder + L"B.EDL",
                                       AddSample(folder, L"C.EDL"), folder + L"D.EDL"};
    WriteBytes(paths[1], CmxEdl());
    WriteBytes(paths[3], EdlWithoutEvents());
    ASSERT_TRUE(Boxes(Drop(paths)).empty());
    SetStateImage(2, 1);
    Command(IDC_CONVERT);

    auto ordered = [](const std::vector<std::wstring>& texts, int sign) {
        for (size_t k = 1; k < texts.size(); ++k) {
            if (sign * lstrcmpW(texts[k - 1].c_str(), texts[k].c_str()) > 0) {
                return false;
            }
        }
        return true;
    };
    ClickHeader(COLUMN_RESULT);
    std::vector<ListRow> rows = Rows();
    EXPECT_TRUE(ordered(ResultTexts(rows), 1)) << Utf8(ResultTexts(rows)[0]);
    ClickHeader(COLUMN_RESULT);
    rows = Rows();
    EXPECT_TRUE(ordered(ResultTexts(rows), -1));
    // Each row keeps its outcome through the sort.
    for (const ListRow& row : rows) {
        const wchar_t* expected = row.name == L"A.EDL"   ? L"変換済み"
                                  : row.name == L"B.EDL" ? L"対象外 (CMX 形式の EDL)"
                                  : row.name == L"D.EDL" ? L"不明な形式"
                                                         : L"";
        EXPECT_EQ(expected, row.result) << Utf8(row.name);
    }
}

// --- The empty list's hint ------------------------------------------------------------------

// The list's client area drawn into a bitmap as the list draws itself; gives how many pixels
// of the hint's grey lie in the middle third of its height, where no row of a short list is.
int HintPixelsInTheMiddle(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    int width = client.right;
    int height = client.bottom;
    Canvas canvas(width, height);
    PatBlt(canvas.dc, 0, 0, width, height, WHITENESS);
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc),
                 PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const DWORD* pixels = canvas.pixels;
    int grey = 0;
    for (int y = height / 3; y < 2 * height / 3; ++y) {
        for (int x = 0; x < width; ++x) {
            grey += (pixels[y * width + x] & 0xFFFFFF) == 0x808080 ? 1 : 0;
        }
    }
    return grey;
}

TEST_F(FileListTest, AnEmptyListSaysWhereToDropFiles) {
    EXPECT_GT(HintPixelsInTheMiddle(list), 30) << "the hint of the empty list";
    DropNamed(folder, {L"A.EDL"});
    EXPECT_EQ(0, HintPixelsInTheMiddle(list)) << "gone with the first row";
    Command(IDC_SELECT_ALL);
    Command(IDC_REMOVE);
    EXPECT_GT(HintPixelsInTheMiddle(list), 30) << "back with the last row gone";
}

}  // namespace
