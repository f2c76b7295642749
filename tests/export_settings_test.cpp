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
    // Nothing stored (an older record): every list off, 30 frames, non-drop.
    const uint32_t* nothing[EXPORT_VALUE_COUNT] = {};
    ExportSettings none = DecodeExportSettings(nothing);
    EXPECT_FALSE(none.exportCmx || none.exportEvents || none.exportPull);
    EXPECT_EQ(30, none.framesPerSecond);
    EXPECT_FALSE(none.dropFrame);
    for (uint32_t rate : rates) {
        const uint32_t* values[EXPORT_VALUE_COUNT] = {&on, &rate, &on, nullptr, &on};
        ExportSettings read = DecodeExportSettings(values);
        bool known = rate == 24 || rate == 25 || rate == 30;
        EXPECT_TRUE(read.exportCmx && read.exportPull && !read.exportEvents);
        EXPECT_EQ(known ? static_cast<int>(rate) : 30, read.framesPerSecond) << rate;
        EXPECT_EQ(read.framesPerSecond == 30, read.dropFrame) << "drop frame only at 30: " << rate;
        // What is stored reads back as the same settings.
        uint32_t stored[EXPORT_VALUE_COUNT];
        EncodeExportSettings(read, stored);
        const uint32_t* again[EXPORT_VALUE_COUNT] = {&stored[0], &stored[1], &stored[2], &stored[3],
                                                     &stored[4]};
        ExportSettings back = DecodeExportSettings(again);
        EXPECT_EQ(read.framesPerSecond, back.framesPerSecond);
        EXPECT_EQ(read.dropFrame, back.dropFrame);
        EXPECT_EQ(ExportOptionBits(read), ExportOptionBits(back));
    }
    const uint32_t* twos[EXPORT_VALUE_COUNT] = {&two, nullptr, nullptr, &two, &two};
    EXPECT_EQ(0u, ExportOptionBits(DecodeExportSettings(twos))) << "only 1 is on";
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

TEST(ExportSettings, EachListSwitchesOnItsOwnAndAnyOfThemTakesTheRate) {
    struct Case {
        unsigned command;
        uint32_t bit;
    } lists[] = {
        {IDM_EXPORT_CMX, OPTION_EXPORT_CMX},
        {IDM_EXPORT_EVENTS, OPTION_EXPORT_EVENTS},
        {IDM_EXPORT_PULL, OPTION_EXPORT_PULL},
    };
    for (const Case& list : lists) {
        ExportSettings settings = ApplyExportCommand(DEFAULT_EXPORT_SETTINGS, IDM_CMX_RATE_30_DROP);
        settings = ApplyExportCommand(settings, list.command);
        SCOPED_TRACE(list.command);
        EXPECT_EQ(list.bit | OPTION_CMX_DROP_FRAME, ExportOptionBits(settings));
        ExportMenu menu = ExportMenuFor(settings);
        EXPECT_TRUE(menu.ratesEnabled);
        EXPECT_EQ(list.command == IDM_EXPORT_CMX, menu.exportChecked);
        EXPECT_EQ(list.command == IDM_EXPORT_EVENTS, menu.eventsChecked);
        EXPECT_EQ(list.command == IDM_EXPORT_PULL, menu.pullChecked);
        EXPECT_EQ(0u, ExportOptionBits(ApplyExportCommand(settings, list.command)));
    }
}

}  // namespace
