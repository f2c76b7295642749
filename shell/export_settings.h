// The CMX 3600 export as the window offers it: whether each conversion also writes the export,
// at which frame rate and with drop frame or not. Unlike the option to delete internal data,
// these choices are kept between runs, as three values of their own beside the position record
// (an older record without them still reads: the export is then off, at 30 frames, non-drop).
#pragma once

#include <cstdint>

struct ExportSettings {
    bool exportCmx;
    int framesPerSecond;  // 24, 25 or 30
    bool dropFrame;       // only at 30 (29.97) frames
};

constexpr ExportSettings DEFAULT_EXPORT_SETTINGS{false, 30, false};

constexpr char16_t EXPORT_VALUE_NAME[] = u"CmxExport";
constexpr char16_t FRAME_RATE_VALUE_NAME[] = u"CmxFrameRate";
constexpr char16_t DROP_FRAME_VALUE_NAME[] = u"CmxDropFrame";

// The settings from the stored values (each null when it is missing or unreadable). A value out
// of its range gives the default for it: a rate other than 24, 25 or 30 reads as 30, and drop
// frame holds only at 30.
ExportSettings DecodeExportSettings(const uint32_t* exportValue, const uint32_t* rateValue,
                                    const uint32_t* dropValue);

// The option bits a job takes from the settings (OPTION_EXPORT_CMX, OPTION_CMX_DROP_FRAME).
uint32_t ExportOptionBits(const ExportSettings& settings);

// The settings after a command of the export menu: IDM_EXPORT_CMX switches the export;
// IDM_CMX_RATE_30, IDM_CMX_RATE_30_DROP, IDM_CMX_RATE_25 and IDM_CMX_RATE_24 choose one of its
// four frame rates (drop frame is a rate of its own, at 30). Any other command changes nothing.
ExportSettings ApplyExportCommand(ExportSettings settings, unsigned command);

// What the export menu shows: its check mark, the rate that carries the mark, and the rates
// greyed while the export is off.
struct ExportMenu {
    bool exportChecked;
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
