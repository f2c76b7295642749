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

// The settings after a command of the export menu (IDM_EXPORT_CMX, IDM_CMX_RATE_30, _25, _24,
// IDM_CMX_DROP_FRAME); any other command changes nothing. A rate without drop frame clears it.
ExportSettings ApplyExportCommand(ExportSettings settings, unsigned command);

// What the export menu shows: the check marks, and the rate and drop frame items greyed while
// the export is off (drop frame also at 24 and 25 frames).
struct ExportMenu {
    bool exportChecked;
    unsigned checkedRate;  // the command of the rate that carries the mark
    bool ratesEnabled;
    bool dropFrameChecked;
    bool dropFrameEnabled;
};
ExportMenu ExportMenuFor(const ExportSettings& settings);

#ifdef _WIN32
// The stored settings (the defaults when none are stored), and storing them.
ExportSettings ReadExportSettings();
void StoreExportSettings(const ExportSettings& settings);
#endif
