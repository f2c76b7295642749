// The main window's layout from its client area and measured texts: at each scale every control
// lies inside the window, none overlaps another, and each text has the room it needs.
#include <string>
#include <vector>

#include "layout_rules.h"
#include "position_record.h"
#include "test_util.h"

namespace {

// Text widths as the Japanese UI font gives them at 96 dpi (IPAPGothic 9 pt, 12 px a full-width
// character), scaled for other displays with the font.
MainWindowMeasures MeasuresAt(int dpi, int clientWidth, int clientHeight, int lineHeight) {
    auto scale = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    MainWindowMeasures m{};
    m.clientWidth = clientWidth;
    m.clientHeight = clientHeight;
    m.dpi = dpi;
    m.lineHeight = lineHeight;
    m.chooseFolderText = scale(36);
    m.openFolderText = scale(108);
    m.fileCountText = scale(120);
    m.optionText = scale(132);
    m.exportText = scale(154);
    m.rateText = scale(136);
    m.selectAllText = scale(60);
    m.removeText = scale(84);
    m.toggleText = scale(60);
    m.toggleLines = 3;
    m.convertText = scale(24);
    m.pictureSize = 48;
    return m;
}

std::vector<std::pair<const char*, ControlBox>> Boxes(const MainWindowLayout& l) {
    return {{"list", l.list},           {"option", l.option},          {"export", l.exportCmx},
            {"rate", l.rate},           {"file count", l.fileCount},   {"保存先", l.chooseFolder},
            {"folder", l.outputFolder}, {"open folder", l.openFolder}, {"select all", l.selectAll},
            {"remove", l.remove},       {"toggle", l.toggle},          {"convert", l.convert},
            {"picture", l.picture}};
}

// Whether two boxes share a pixel; boxes side by side only touch.
bool Overlap(const ControlBox& a, const ControlBox& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

void ExpectSound(const MainWindowMeasures& m) {
    MainWindowLayout layout = LayOutMainWindow(m);
    auto boxes = Boxes(layout);
    for (const auto& [name, box] : boxes) {
        SCOPED_TRACE(name);
        EXPECT_GE(box.left, 0);
        EXPECT_GE(box.top, 0);
        EXPECT_GT(box.width, 0);
        EXPECT_GT(box.height, 0);
        EXPECT_LE(box.left + box.width, m.clientWidth);
        EXPECT_LE(box.top + box.height, m.clientHeight);
    }
    for (size_t a = 0; a < boxes.size(); ++a) {
        for (size_t b = a + 1; b < boxes.size(); ++b) {
            EXPECT_FALSE(Overlap(boxes[a].second, boxes[b].second))
                << boxes[a].first << " and " << boxes[b].first;
        }
    }
    // Each text with its frame around it; the toggle's three lines one above the other.
    int padding = ScaleForDpi(BUTTON_PADDING_WIDTH, m.dpi);
    EXPECT_GE(layout.chooseFolder.width, m.chooseFolderText + padding);
    EXPECT_GE(layout.openFolder.width, m.openFolderText + padding);
    EXPECT_GE(layout.selectAll.width, m.selectAllText + padding);
    EXPECT_GE(layout.remove.width, m.removeText + padding);
    EXPECT_GE(layout.toggle.width, m.toggleText + padding);
    EXPECT_GE(layout.convert.width, m.convertText + padding);
    EXPECT_GT(layout.toggle.height, m.toggleLines * m.lineHeight);
    EXPECT_GT(layout.fileCount.width, m.fileCountText);
    EXPECT_GE(layout.option.width, m.optionText + ScaleForDpi(CHECK_BOX_WIDTH, m.dpi));
    EXPECT_GE(layout.exportCmx.width, m.exportText + ScaleForDpi(CHECK_BOX_WIDTH, m.dpi));
    EXPECT_GE(layout.rate.width, m.rateText) << "the widest rate";
    for (const ControlBox& oneLine : {layout.option, layout.exportCmx, layout.rate,
                                      layout.fileCount, layout.chooseFolder, layout.outputFolder}) {
        EXPECT_GT(oneLine.height, m.lineHeight);
    }
    EXPECT_GE(layout.picture.height, m.pictureSize);
    // The list is what the window is for: it keeps most of the height.
    EXPECT_GT(layout.list.height, m.clientHeight / 2);
    EXPECT_EQ(m.clientWidth, layout.list.width);
    // The output folder takes what its row leaves, and shows a good part of a path.
    EXPECT_GT(layout.outputFolder.width, m.clientWidth / 3);
}

TEST(LayoutRules, EveryControlFitsAt96120And144Dpi) {
    struct Case {
        int dpi, clientWidth, clientHeight, lineHeight;
        const char* why;
    } cases[] = {
        // 515 x 335 less the frame, caption and menu bar of each scale.
        {96, 507, 290, 13, "96 dpi under Wine"},
        {96, 499, 272, 12, "96 dpi, Windows 10's wider frame"},
        {120, 636, 362, 16, "120 dpi"},
        {144, 763, 439, 19, "144 dpi"},
        {144, 757, 431, 21, "144 dpi, a taller font"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ExpectSound(MeasuresAt(c.dpi, c.clientWidth, c.clientHeight, c.lineHeight));
    }
}

TEST(LayoutRules, RowsStackUpFromTheBottomAndConvertTakesTheRest) {
    MainWindowMeasures m = MeasuresAt(96, 507, 290, 13);
    MainWindowLayout layout = LayOutMainWindow(m);
    const int gap = 4;
    EXPECT_EQ(m.clientHeight - gap, layout.convert.top + layout.convert.height);
    EXPECT_EQ(layout.convert.top - gap, layout.chooseFolder.top + layout.chooseFolder.height);
    EXPECT_EQ(layout.chooseFolder.top - gap, layout.option.top + layout.option.height);
    EXPECT_EQ(layout.option.top - gap, layout.list.top + layout.list.height);
    // One row each: the same top for the controls of a row.
    EXPECT_EQ(layout.option.top, layout.exportCmx.top);
    EXPECT_EQ(layout.option.top, layout.rate.top);
    EXPECT_EQ(layout.chooseFolder.top, layout.outputFolder.top);
    EXPECT_EQ(layout.chooseFolder.top, layout.openFolder.top);
    EXPECT_EQ(layout.chooseFolder.top, layout.fileCount.top);
    EXPECT_EQ(layout.selectAll.top, layout.toggle.top);
    // The export's check box beside the option's, its rate after it up to the right margin.
    EXPECT_EQ(layout.option.left + layout.option.width + gap, layout.exportCmx.left);
    EXPECT_EQ(layout.exportCmx.left + layout.exportCmx.width + gap, layout.rate.left);
    EXPECT_EQ(m.clientWidth - gap, layout.rate.left + layout.rate.width);
    // Right-aligned: the counter with the open-folder button before it, the picture.
    EXPECT_EQ(m.clientWidth - gap, layout.fileCount.left + layout.fileCount.width);
    EXPECT_EQ(layout.fileCount.left - gap, layout.openFolder.left + layout.openFolder.width);
    EXPECT_EQ(m.clientWidth - gap, layout.picture.left + layout.picture.width);
    EXPECT_EQ(layout.picture.left - gap, layout.convert.left + layout.convert.width);
    // Three lines of text and their frame make the button row higher than the picture.
    EXPECT_EQ(3 * 13 + BUTTON_PADDING_HEIGHT, layout.convert.height);
}

TEST(LayoutRules, ColumnsScaleWithTheDisplayAndFitTheirTexts) {
    EXPECT_EQ(103, ColumnWidth(103, 96, 90));
    EXPECT_EQ(155, ColumnWidth(103, 144, 90)) << "150 %";
    EXPECT_EQ(118, ColumnWidth(103, 96, 118)) << "a date wider than the column";
    EXPECT_EQ(180, ColumnWidth(180, 0, 0)) << "no DPI known";
}

}  // namespace
