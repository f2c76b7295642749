// The lists written beside the converted file as the window offers them: the CMX 3600 export,
// the event table and the tape pull list, each on or off, and their frame rate with drop frame
// or not. Unlike the option to delete internal data, these choices are kept between runs, as
// values of their own beside the position record (an older record without them still reads:
// a list without its value is off; the rate is 30 frames, non-drop).
#pragma once

#include <cstdint>

struct ExportSettings {
    bool exportCmx;
    int framesPerSecond;  // 24, 25 or 30
    bool dropFrame;       // only at 30 (29.97) frames
    bool exportEvents;
    bool exportPull;
};

constexpr ExportSettings DEFAULT_EXPORT_SETTINGS{false, 30, false, false, false};

// The stored values, by these names, in this order.
enum ExportValue {
    EXPORT_VALUE_CMX,
    EXPORT_VALUE_FRAME_RATE,
    EXPORT_VALUE_DROP_FRAME,
    EXPORT_VALUE_EVENTS,
    EXPORT_VALUE_PULL,
    EXPORT_VALUE_COUNT,
};
constexpr const char16_t* EXPORT_VALUE_NAMES[EXPORT_VALUE_COUNT] = {
    u"CmxExport", u"CmxFrameRate", u"CmxDropFrame", u"EventTable", u"PullList"};

// The settings from the stored values (each null when it is missing or unreadable). A value out
// of its range gives the default for it: a list is on only for 1, a rate other than 24, 25 or 30
// reads as 30, and drop frame holds only at 30.
ExportSettings DecodeExportSettings(const uint32_t* const (&values)[EXPORT_VALUE_COUNT]);

// The values to store for the settings, in the order of EXPORT_VALUE_NAMES.
void EncodeExportSettings(const ExportSettings& settings, uint32_t (&values)[EXPORT_VALUE_COUNT]);

// The option bits a job takes from the settings (OPTION_EXPORT_CMX, OPTION_EXPORT_EVENTS,
// OPTION_EXPORT_PULL, and OPTION_CMX_DROP_FRAME with any of them).
uint32_t ExportOptionBits(const ExportSettings& settings);

// Whether any list is on: the rate is chosen for them.
bool AnyListExported(const ExportSettings& settings);

// The settings after a command of the export menu: IDM_EXPORT_CMX, IDM_EXPORT_EVENTS and
// IDM_EXPORT_PULL switch their list;
// IDM_CMX_RATE_30, IDM_CMX_RATE_30_DROP, IDM_CMX_RATE_25 and IDM_CMX_RATE_24 choose one of its
// four frame rates (drop frame is a rate of its own, at 30). Any other command changes nothing.
ExportSettings ApplyExportCommand(ExportSettings settings, unsigned command);

// What the export menu shows: the lists' check marks, the rate that carries the mark, and the
// rates greyed while every list is off.
struct ExportMenu {
    bool exportChecked;
    bool eventsChecked;
    bool pullChecked;
    unsigned checkedRate;  // the command of the chosen rate
    bool ratesEnabled;
};
ExportMenu ExportMenuFor(const ExportSettings& settings);

// The text of the chosen rate, shown beside the export's check box: a string of the window's
// string table.
unsigned RateTextId(const ExportSettings& settings);

#ifdef _WIN32
// The stored settings (the defaults when none are stored), and storing them.
ExportSettings ReadExportSettings();
void StoreExportSettings(const ExportSettings& settings);
#endif
