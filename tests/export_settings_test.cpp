// The window's CMX 3600 export settings: read back from the stored values, changed by the menu,
// shown in the menu, and turned into the job's option bits.
#include "export_settings.h"
#include "conversion_options.h"
#include "resource.h"
#include "test_util.h"

namespace {

TEST(ExportSettings, StoredValuesReadBackWithinTheirRanges) {
    const uint32_t on = 1;
    const uint32_t two = 2;
    const uint32_t rates[] = {24, 25, 30, 29, 0};
    // Nothing stored (an older record): off, 30 frames, non-drop.
    ExportSettings none = DecodeExportSettings(nullptr, nullptr, nullptr);
    EXPECT_FALSE(none.exportCmx);
    EXPECT_EQ(30, none.framesPerSecond);
    EXPECT_FALSE(none.dropFrame);
    for (uint32_t rate : rates) {
        ExportSettings read = DecodeExportSettings(&on, &rate, &on);
        bool known = rate == 24 || rate == 25 || rate == 30;
        EXPECT_TRUE(read.exportCmx);
        EXPECT_EQ(known ? static_cast<int>(rate) : 30, read.framesPerSecond) << rate;
        EXPECT_EQ(read.framesPerSecond == 30, read.dropFrame) << "drop frame only at 30: " << rate;
    }
    EXPECT_FALSE(DecodeExportSettings(&two, nullptr, nullptr).exportCmx) << "only 1 is on";
}

TEST(ExportSettings, TheMenuChangesThemAndShowsThem) {
    ExportSettings settings = DEFAULT_EXPORT_SETTINGS;
    ExportMenu menu = ExportMenuFor(settings);
    EXPECT_FALSE(menu.exportChecked);
    EXPECT_FALSE(menu.ratesEnabled) << "no rate to choose while the export is off";
    EXPECT_FALSE(menu.dropFrameEnabled);
    EXPECT_EQ(0u, ExportOptionBits(settings));

    settings = ApplyExportCommand(settings, IDM_EXPORT_CMX);
    settings = ApplyExportCommand(settings, IDM_CMX_DROP_FRAME);
    menu = ExportMenuFor(settings);
    EXPECT_TRUE(menu.exportChecked && menu.ratesEnabled && menu.dropFrameEnabled);
    EXPECT_TRUE(menu.dropFrameChecked);
    EXPECT_EQ(static_cast<unsigned>(IDM_CMX_RATE_30), menu.checkedRate);
    EXPECT_EQ(OPTION_EXPORT_CMX | OPTION_CMX_DROP_FRAME, ExportOptionBits(settings));

    // 25 frames have no drop frame: choosing them clears it, and it cannot be set again.
    settings = ApplyExportCommand(settings, IDM_CMX_RATE_25);
    EXPECT_EQ(25, settings.framesPerSecond);
    EXPECT_FALSE(settings.dropFrame);
    settings = ApplyExportCommand(settings, IDM_CMX_DROP_FRAME);
    EXPECT_FALSE(settings.dropFrame);
    menu = ExportMenuFor(settings);
    EXPECT_EQ(static_cast<unsigned>(IDM_CMX_RATE_25), menu.checkedRate);
    EXPECT_FALSE(menu.dropFrameEnabled);
    EXPECT_EQ(OPTION_EXPORT_CMX, ExportOptionBits(settings));

    settings = ApplyExportCommand(settings, IDM_CMX_RATE_24);
    EXPECT_EQ(static_cast<unsigned>(IDM_CMX_RATE_24), ExportMenuFor(settings).checkedRate);
    settings = ApplyExportCommand(settings, IDM_ABOUT);
    EXPECT_EQ(24, settings.framesPerSecond) << "another command changes nothing";
    settings = ApplyExportCommand(settings, IDM_EXPORT_CMX);
    EXPECT_EQ(0u, ExportOptionBits(settings)) << "off again";
    EXPECT_EQ(24, settings.framesPerSecond) << "the rate is kept for the next time";
}

}  // namespace
