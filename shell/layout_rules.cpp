#include "layout_rules.h"

#include <algorithm>

#include "position_record.h"

namespace {

// The margin around the controls and the gap between them, at 96 dpi.
constexpr int GAP = 4;
// A check box's box is this high at 96 dpi; its row is as high as its text or its box.
constexpr int CHECK_BOX_HEIGHT = 13;
// Room the file count label needs around its text: its sunken frame and a little air.
constexpr int LABEL_PADDING_WIDTH = 10;
constexpr int LABEL_PADDING_HEIGHT = 6;

// The box right of `before`, `gap` away, `width` wide, on the same row.
ControlBox RightOf(const ControlBox& before, int gap, int width) {
    return ControlBox{before.left + before.width + gap, before.top, width, before.height};
}

}  // namespace

MainWindowLayout LayOutMainWindow(const MainWindowMeasures& m) {
    auto scale = [&m](int pixels) { return ScaleForDpi(pixels, m.dpi); };
    const int gap = scale(GAP);
    const int buttonWidth = scale(BUTTON_PADDING_WIDTH);
    const int buttonHeight = scale(BUTTON_PADDING_HEIGHT);

    const int optionHeight =
        std::max(m.lineHeight, scale(CHECK_BOX_HEIGHT)) + scale(LABEL_PADDING_HEIGHT);
    const int folderHeight = m.lineHeight + buttonHeight;
    const int buttonsHeight =
        std::max(m.pictureSize, std::max(m.toggleLines, 1) * m.lineHeight + buttonHeight);

    // The rows from the bottom up; the list takes what is left above them.
    const int buttonsTop = m.clientHeight - gap - buttonsHeight;
    const int folderTop = buttonsTop - gap - folderHeight;
    const int optionTop = folderTop - gap - optionHeight;
    const int right = m.clientWidth - gap;

    MainWindowLayout layout{};
    layout.list = ControlBox{0, 0, m.clientWidth, std::max(optionTop - gap, 0)};

    layout.option = ControlBox{gap, optionTop, scale(CHECK_BOX_WIDTH) + m.optionText, optionHeight};
    layout.exportCmx = RightOf(layout.option, gap, scale(CHECK_BOX_WIDTH) + m.exportText);
    // The rate takes the rest of the row: its longest text fits at every scale (the tests say
    // so), and a shorter one leaves room at the right.
    int rateLeft = layout.exportCmx.left + layout.exportCmx.width + gap;
    layout.rate = ControlBox{rateLeft, optionTop, std::max(right - rateLeft, 0), optionHeight};

    layout.chooseFolder =
        ControlBox{gap, folderTop, m.chooseFolderText + buttonWidth, folderHeight};
    int countWidth = m.fileCountText + scale(LABEL_PADDING_WIDTH);
    layout.fileCount = ControlBox{right - countWidth, folderTop, countWidth, folderHeight};
    int openWidth = m.openFolderText + buttonWidth;
    layout.openFolder =
        ControlBox{layout.fileCount.left - gap - openWidth, folderTop, openWidth, folderHeight};
    int folderLeft = layout.chooseFolder.left + layout.chooseFolder.width + gap;
    layout.outputFolder =
        ControlBox{folderLeft, folderTop, layout.openFolder.left - gap - folderLeft, folderHeight};

    layout.selectAll = ControlBox{gap, buttonsTop, m.selectAllText + buttonWidth, buttonsHeight};
    layout.remove = RightOf(layout.selectAll, gap, m.removeText + buttonWidth);
    layout.toggle = RightOf(layout.remove, gap, m.toggleText + buttonWidth);
    layout.picture =
        ControlBox{right - m.pictureSize, buttonsTop + (buttonsHeight - m.pictureSize) / 2,
                   m.pictureSize, m.pictureSize};
    int convertLeft = layout.toggle.left + layout.toggle.width + gap;
    // Convert takes the rest of the row, and never less than its text needs.
    int convertWidth =
        std::max(layout.picture.left - gap - convertLeft, m.convertText + buttonWidth);
    layout.convert = ControlBox{convertLeft, buttonsTop, convertWidth, buttonsHeight};
    return layout;
}

int ColumnWidth(int widthAt96, int dpi, int neededWidth) {
    return std::max(ScaleForDpi(widthAt96, dpi), neededWidth);
}
