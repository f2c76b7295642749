// その他 > 使い方ガイド(H) and F1: the guide beside the program opens in the system's program for
// web pages; when it is missing the user is told which file. The shell's call is a stub that
// records it, so that nothing opens on the screen.
#include "explorer.h"
#include "main_window_fixture.h"

namespace {

struct Opened {
    std::vector<std::wstring> files;
    INT_PTR answer;
};
Opened opened;

INT_PTR RecordOpen(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*) {
    opened.files.push_back(std::wstring(verb) + L" " + file);
    return opened.answer;
}

HRESULT SelectNothing(const wchar_t*) {
    return E_FAIL;
}

class GuideTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        opened = Opened{{}, 42};
        shellActions = ShellActions{RecordOpen, SelectNothing};
        wchar_t program[MAX_PATH];
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        guide = program;
        guide = guide.substr(0, guide.find_last_of(L'\\') + 1) + L"guide-ja.html";
        DeleteFileW(guide.c_str());
    }

    void TearDown() override {
        shellActions = SYSTEM_SHELL_ACTIONS;
        DeleteFileW(guide.c_str());
        MainWindowFixture::TearDown();
    }

    std::wstring guide;  // beside this test program, as guide-ja.html lies beside tamsel.exe
};

TEST_F(GuideTest, AMissingGuideIsNamedWhereItWasLookedFor) {
    std::vector<SpyEvent> boxes = Boxes(Command(IDM_OPEN_GUIDE));
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    EXPECT_EQ(0u, boxes[0].text.find(L"使い方ガイドが見つかりません。")) << Utf8(boxes[0].text);
    EXPECT_NE(std::wstring::npos, boxes[0].text.find(L"\"" + guide + L"\"")) << Utf8(boxes[0].text);
    EXPECT_EQ(L"タムセル", boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), boxes[0].icon);
    EXPECT_EQ(window, boxes[0].dialog);
    EXPECT_TRUE(opened.files.empty()) << "nothing to open";
}

TEST_F(GuideTest, TheGuideOpensAndF1OpensItToo) {
    WriteBytes(guide, "<html></html>");
    EXPECT_TRUE(Boxes(Command(IDM_OPEN_GUIDE)).empty());
    // F1 through the window's accelerators, whichever control has the focus.
    HACCEL accelerators =
        LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    MSG key{list, WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
    StartSpy();
    EXPECT_TRUE(TranslateAcceleratorW(window, accelerators, &key));
    EXPECT_TRUE(Boxes(StopSpy()).empty());
    EXPECT_EQ((std::vector<std::wstring>{L"open " + guide, L"open " + guide}), opened.files);
}

}  // namespace
