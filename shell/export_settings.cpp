#include "export_settings.h"

#include "cmx_export.h"
#include "conversion_options.h"
#include "resource.h"

namespace {

bool IsOn(const uint32_t* value) {
    return value != nullptr && *value == 1;
}

}  // namespace

ExportSettings DecodeExportSettings(const uint32_t* const (&values)[EXPORT_VALUE_COUNT]) {
    ExportSettings settings = DEFAULT_EXPORT_SETTINGS;
    settings.exportCmx = IsOn(values[EXPORT_VALUE_CMX]);
    settings.exportEvents = IsOn(values[EXPORT_VALUE_EVENTS]);
    settings.exportPull = IsOn(values[EXPORT_VALUE_PULL]);
    const uint32_t* rate = values[EXPORT_VALUE_FRAME_RATE];
    if (rate != nullptr && IsCmxFrameRate(static_cast<int>(*rate))) {
        settings.framesPerSecond = static_cast<int>(*rate);
    }
    settings.dropFrame = IsOn(values[EXPORT_VALUE_DROP_FRAME]) && settings.framesPerSecond == 30;
    return settings;
}

void EncodeExportSettings(const ExportSettings& settings, uint32_t (&values)[EXPORT_VALUE_COUNT]) {
    values[EXPORT_VALUE_CMX] = settings.exportCmx ? 1 : 0;
    values[EXPORT_VALUE_FRAME_RATE] = static_cast<uint32_t>(settings.framesPerSecond);
    values[EXPORT_VALUE_DROP_FRAME] = settings.dropFrame ? 1 : 0;
    values[EXPORT_VALUE_EVENTS] = settings.exportEvents ? 1 : 0;
    values[EXPORT_VALUE_PULL] = settings.exportPull ? 1 : 0;
}

bool AnyListExported(const ExportSettings& settings) {
    return settings.exportCmx || settings.exportEvents || settings.exportPull;
}

uint32_t ExportOptionBits(const ExportSettings& settings) {
    if (!AnyListExported(settings)) {
        return 0;
    }
    return (settings.exportCmx ? OPTION_EXPORT_CMX : 0) |
           (settings.exportEvents ? OPTION_EXPORT_EVENTS : 0) |
           (settings.exportPull ? OPTION_EXPORT_PULL : 0) |
           (settings.dropFrame ? OPTION_CMX_DROP_FRAME : 0);
}

ExportSettings ApplyExportCommand(ExportSettings settings, unsigned command) {
    switch (command) {
        case IDM_EXPORT_CMX:
            settings.exportCmx = !settings.exportCmx;
            break;
        case IDM_EXPORT_EVENTS:
            settings.exportEvents = !settings.exportEvents;
            break;
        case IDM_EXPORT_PULL:
            settings.exportPull = !settings.exportPull;
            break;
        case IDM_CMX_RATE_30:
            settings.framesPerSecond = 30;
            settings.dropFrame = false;
            break;
        case IDM_CMX_RATE_30_DROP:
            settings.framesPerSecond = 30;
            settings.dropFrame = true;
            break;
        case IDM_CMX_RATE_25:
            settings.framesPerSecond = 25;
            settings.dropFrame = false;
            break;
        case IDM_CMX_RATE_24:
            settings.framesPerSecond = 24;
            settings.dropFrame = false;
            break;
    }
    return settings;
}

ExportMenu ExportMenuFor(const ExportSettings& settings) {
    ExportMenu menu{};
    menu.exportChecked = settings.exportCmx;
    menu.eventsChecked = settings.exportEvents;
    menu.pullChecked = settings.exportPull;
    menu.checkedRate = settings.framesPerSecond == 24   ? IDM_CMX_RATE_24
                       : settings.framesPerSecond == 25 ? IDM_CMX_RATE_25
                       : settings.dropFrame             ? IDM_CMX_RATE_30_DROP
                                                        : IDM_CMX_RATE_30;
    menu.ratesEnabled = AnyListExported(settings);
    return menu;
}

unsigned RateTextId(const ExportSettings& settings) {
    switch (ExportMenuFor(settings).checkedRate) {
        case IDM_CMX_RATE_30_DROP:
            return IDS_CMX_RATE_30_DROP;
        case IDM_CMX_RATE_25:
            return IDS_CMX_RATE_25;
        case IDM_CMX_RATE_24:
            return IDS_CMX_RATE_24;
    }
    return IDS_CMX_RATE_30;
}
