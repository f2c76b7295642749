// その他 > 使い方ガイド(H) and F1 open guide-ja.html beside the program, and say which file is
// missing when it is not there. The shell's call is a stub, so that nothing opens on screen.
#include "explorer.h"
#include "main_window_fixture.h"

namespace {

std::vector<std::wstring> opened;

INT_PTR RecordOpen(HWND, const wchar_t*, const wchar_t* file, const wchar_t*) {
    opened.push_back(file);
    return 42;  // a program started
}

using GuideTest = MainWindowFixture;

TEST_F(GuideTest, TheGuideBesideTheProgramOpensAndAMissingOneIsNamed) {
    opened.clear();
    shellActions = ShellActions{RecordOpen, SYSTEM_SHELL_ACTIONS.showSelected};
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring guide(program);
    guide = guide.substr(0, guide.find_last_of(L'\\') + 1) + L"guide-ja.html";
    DeleteFileW(guide.c_str());

    std::vector<SpyEvent> boxes = Boxes(Command(IDM_OPEN_GUIDE));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    EXPECT_EQ(0u, boxes[0].text.find(L"使い方ガイドが見つかりません。")) << Utf8(boxes[0].text);
    EXPECT_NE(std::wstring::npos, boxes[0].text.find(L"\"" + guide + L"\"")) << "where it looked";
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), boxes[0].icon);
    EXPECT_EQ(window, boxes[0].dialog);

    // There: the menu item opens it, and so does F1 through the window's accelerators.
    WriteBytes(guide, "<html></html>");
    EXPECT_TRUE(Boxes(Command(IDM_OPEN_GUIDE)).empty());
    HACCEL keys = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    MSG f1{list, WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
    EXPECT_TRUE(TranslateAcceleratorW(window, keys, &f1));
    DeleteFileW(guide.c_str());
    shellActions = SYSTEM_SHELL_ACTIONS;
    EXPECT_EQ((std::vector<std::wstring>{guide, guide}), opened);
}

}  // namespace
