// The stored window position: the 16-byte record and what is read back from it.
#include <climits>

#include "position_record.h"
#include "test_util.h"

namespace {

Bytes Encode(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    uint8_t record[POSITION_RECORD_BYTES];
    EncodePositionRecord(left, top, right, bottom, record);
    return Bytes(reinterpret_cast<const char*>(record), sizeof record);
}

WindowPosition Decode(const Bytes& record) {
    return DecodePositionRecord(reinterpret_cast<const uint8_t*>(record.data()), record.size());
}

TEST(PositionRecord, HoldsLeftTopWidthHeightLittleEndian) {
    struct Case {
        int32_t left, top, right, bottom;
        const char* bytes;
    } cases[] = {
        // The window as it opens: at 0, 0, 515 x 335.
        {0, 0, 515, 335, "00000000 00000000 03020000 4F010000"},
        {100, 200, 615, 535, "64000000 C8000000 03020000 4F010000"},
        // Left of and above the screen: negative edges in two's complement.
        {-3000, -20, -2485, 315, "48F4FFFF ECFFFFFF 03020000 4F010000"},
        // A rectangle that is not 515 x 335 keeps its own width and height.
        {10, 20, 1034, 788, "0A000000 14000000 00040000 00030000"},
        // Edges as far apart as they go: the width wraps around as 32 bits do.
        {INT32_MIN, 0, INT32_MAX, 0, "00000080 00000000 FFFFFFFF 00000000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToHex(FromHex(c.bytes)), ToHex(Encode(c.left, c.top, c.right, c.bottom)))
            << "rectangle " << c.left << "," << c.top << " - " << c.right << "," << c.bottom;
    }
}

TEST(PositionRecord, ReadingGivesStoredLeftAndTopAndAlways515By335) {
    WindowPosition position = Decode(Encode(-4000, 3000, -3000, 3800));
    EXPECT_EQ(-4000, position.left);
    EXPECT_EQ(3000, position.top);
    EXPECT_EQ(515, position.width);
    EXPECT_EQ(335, position.height);
}

TEST(PositionRecord, ReadingWithoutAWholeRecord) {
    struct Case {
        const char* bytes;
        int32_t left, top;
        const char* why;
    } cases[] = {
        {"", 0, 0, "no value stored"},
        {"05000000 06000000 07000000 08000000 09", 0, 0, "a value longer than a record"},
        {"05000000 06000000", 5, 6, "left and top only"},
        {"05000000 0600", 5, 0, "top cut short: only left is whole"},
        {"0500", 0, 0, "not even left is whole"},
    };
    for (const Case& c : cases) {
        WindowPosition position = Decode(FromHex(c.bytes));
        EXPECT_EQ(c.left, position.left) << c.why;
        EXPECT_EQ(c.top, position.top) << c.why;
        EXPECT_EQ(515, position.width) << c.why;
        EXPECT_EQ(335, position.height) << c.why;
    }
    WindowPosition none = DecodePositionRecord(nullptr, 16);
    EXPECT_EQ(0, none.left);
    EXPECT_EQ(0, none.top);
}

}  // namespace

TEST(PositionRecord, TheWindowSizeScalesWithTheDisplay) {
    EXPECT_EQ(515, ScaleForDpi(515, 96));
    EXPECT_EQ(335, ScaleForDpi(335, 96));
    EXPECT_EQ(644, ScaleForDpi(515, 120)) << "125 %, 643.75 rounded";
    EXPECT_EQ(773, ScaleForDpi(515, 144)) << "150 %, 772.5 rounded up";
    EXPECT_EQ(503, ScaleForDpi(335, 144)) << "150 %, 502.5 rounded up";
    EXPECT_EQ(1030, ScaleForDpi(515, 192));
    EXPECT_EQ(515, ScaleForDpi(515, 0)) << "no DPI known: the size as it stands";
}
