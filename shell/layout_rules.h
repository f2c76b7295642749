// Where the main window's controls go. The window keeps one size (515 x 335 at 96 dots per inch,
// scaled with the display), but the room its texts need depends on the fonts of the system it
// runs on and on the display's scale: the controls are placed from the window's client area and
// from the measured texts, so that no text is cut off. Below the file list, from top to bottom:
//   the conversion settings: the option's check box, the CMX 3600 export's check box beside it
//   and the export's frame rate after that;
//   保存先, the output folder, 出力フォルダを開く, and the file count label at the right;
//   全てを選択, リストから削除, the toggle button, 変換 (taking what is left), the picture.
// The list takes the height the rows below leave. No window here: the window measures, this
// places.
#pragma once

struct ControlBox {
    int left;
    int top;
    int width;
    int height;
};

// What the layout is made from, in the pixels of the window's display.
struct MainWindowMeasures {
    int clientWidth;
    int clientHeight;
    int dpi;
    int lineHeight;  // one line of text in the window's font
    // The widest line of each control's text in that font; its number of lines where it may
    // have several.
    int chooseFolderText;
    int openFolderText;
    int fileCountText;  // the label with the longest count it is likely to show
    int optionText;
    int exportText;
    int rateText;  // the widest of the export's frame rates
    int selectAllText;
    int removeText;
    int toggleText;
    int toggleLines;
    int convertText;
    int pictureSize;  // the picture's icon, square
};

struct MainWindowLayout {
    ControlBox list;
    ControlBox option;
    ControlBox exportCmx;
    ControlBox rate;
    ControlBox fileCount;
    ControlBox chooseFolder;
    ControlBox outputFolder;
    ControlBox openFolder;
    ControlBox selectAll;
    ControlBox remove;
    ControlBox toggle;
    ControlBox convert;
    ControlBox picture;
};

// Room a push button needs around its text: its frame and the space inside it, at 96 dpi.
constexpr int BUTTON_PADDING_WIDTH = 16;
constexpr int BUTTON_PADDING_HEIGHT = 10;
// A check box's box and the gap after it, at 96 dpi.
constexpr int CHECK_BOX_WIDTH = 20;

MainWindowLayout LayOutMainWindow(const MainWindowMeasures& measures);

// The width of a list column: its width at 96 dpi scaled to the display, or more when its
// texts need more.
int ColumnWidth(int widthAt96, int dpi, int neededWidth);
