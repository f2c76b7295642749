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

TEST(ExportSettings, EachRateIsOneChoiceOfFourShownAsItsOwnText) {
    struct Case {
        unsigned command;
        int framesPerSecond;
        bool dropFrame;
        unsigned text;
    } cases[] = {
        {IDM_CMX_RATE_30, 30, false, IDS_CMX_RATE_30},
        {IDM_CMX_RATE_30_DROP, 30, true, IDS_CMX_RATE_30_DROP},
        {IDM_CMX_RATE_25, 25, false, IDS_CMX_RATE_25},
        {IDM_CMX_RATE_24, 24, false, IDS_CMX_RATE_24},
    };
    // From each rate to each: drop frame comes and goes with its own choice.
    for (const Case& from : cases) {
        for (const Case& to : cases) {
            ExportSettings settings = ApplyExportCommand(DEFAULT_EXPORT_SETTINGS, IDM_EXPORT_CMX);
            settings = ApplyExportCommand(ApplyExportCommand(settings, from.command), to.command);
            SCOPED_TRACE(testing::Message() << from.command << " then " << to.command);
            EXPECT_EQ(to.framesPerSecond, settings.framesPerSecond);
            EXPECT_EQ(to.dropFrame, settings.dropFrame);
            EXPECT_EQ(to.command, ExportMenuFor(settings).checkedRate);
            EXPECT_EQ(to.text, RateTextId(settings));
            EXPECT_EQ(OPTION_EXPORT_CMX | (to.dropFrame ? OPTION_CMX_DROP_FRAME : 0u),
                      ExportOptionBits(settings));
        }
    }
}

TEST(ExportSettings, TheExportSwitchesAndKeepsItsRate) {
    ExportSettings settings = DEFAULT_EXPORT_SETTINGS;
    EXPECT_FALSE(ExportMenuFor(settings).ratesEnabled) << "no rate to choose while off";
    EXPECT_EQ(0u, ExportOptionBits(settings));
    settings = ApplyExportCommand(settings, IDM_EXPORT_CMX);
    settings = ApplyExportCommand(settings, IDM_CMX_RATE_30_DROP);
    EXPECT_TRUE(ExportMenuFor(settings).exportChecked && ExportMenuFor(settings).ratesEnabled);
    settings = ApplyExportCommand(settings, IDM_ABOUT);
    settings = ApplyExportCommand(settings, IDM_EXPORT_CMX);
    EXPECT_EQ(0u, ExportOptionBits(settings)) << "off again";
    EXPECT_TRUE(settings.dropFrame) << "the rate is kept, and another command changes nothing";
}

}  // namespace
