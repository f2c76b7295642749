// The main window's position, the one setting kept between runs: a record of 16 bytes under
// HKEY_CURRENT_USER\Software\tamsel\data\Position, value "Position" (REG_BINARY), holding the
// left edge, top edge, width and height of the window's normal rectangle as signed 32-bit
// little-endian numbers. Only left and top are used when reading: the window always opens
// 515 x 335 pixels (at 96 dots per inch; see ScaleForDpi).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t MAIN_WINDOW_WIDTH = 515;
constexpr int32_t MAIN_WINDOW_HEIGHT = 335;
constexpr size_t POSITION_RECORD_BYTES = 16;
constexpr int STANDARD_DPI = 96;

constexpr char16_t POSITION_KEY_PARENT[] = u"Software\\tamsel\\data";
constexpr char16_t POSITION_KEY_NAME[] = u"Position";
constexpr char16_t POSITION_VALUE_NAME[] = u"Position";

struct WindowPosition {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};

// A size of the window in the pixels of a display of `dpi` dots per inch: the window's controls
// are laid out in dialog units, which grow with the dialog font on a scaled display, so the
// window grows with them ("515" is 773 at 150 %). At 96 the size is as it stands.
int32_t ScaleForDpi(int32_t pixels, int dpi);

// The record of a window whose normal rectangle has these edges.
void EncodePositionRecord(int32_t left, int32_t top, int32_t right, int32_t bottom,
                          uint8_t record[POSITION_RECORD_BYTES]);

// The position to open the window at, from the `count` bytes the stored value gave (0 when
// there is no value or it could not be read). Left and top come from the record, each only
// when its four bytes are there, else they stay 0; width and height are always 515 and 335.
WindowPosition DecodePositionRecord(const uint8_t* record, size_t count);

// --- Windows side: the record in the registry ---------------------------------------------------

#ifdef _WIN32
#include <windows.h>

// The key "Software\tamsel\data\Position" under HKEY_CURRENT_USER, created when missing; null
// when it cannot be opened. The caller closes it.
HKEY OpenPositionKey();
#endif

// Reads the stored position; opens the key, creating it when it is missing. Gives 0, 0 when
// the value cannot be read or is longer than a record.
WindowPosition ReadStoredPosition();

// Stores the normal rectangle of the main window. Nothing is stored when the key cannot be
// opened or created.
void StorePosition(int32_t left, int32_t top, int32_t right, int32_t bottom);
