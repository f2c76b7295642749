#include "export_settings.h"

#include "cmx_export.h"
#include "conversion_options.h"
#include "resource.h"

ExportSettings DecodeExportSettings(const uint32_t* exportValue, const uint32_t* rateValue,
                                    const uint32_t* dropValue) {
    ExportSettings settings = DEFAULT_EXPORT_SETTINGS;
    settings.exportCmx = exportValue != nullptr && *exportValue == 1;
    if (rateValue != nullptr && IsCmxFrameRate(static_cast<int>(*rateValue))) {
        settings.framesPerSecond = static_cast<int>(*rateValue);
    }
    settings.dropFrame = dropValue != nullptr && *dropValue == 1 && settings.framesPerSecond == 30;
    return settings;
}

uint32_t ExportOptionBits(const ExportSettings& settings) {
    if (!settings.exportCmx) {
        return 0;
    }
    return OPTION_EXPORT_CMX | (settings.dropFrame ? OPTION_CMX_DROP_FRAME : 0);
}

ExportSettings ApplyExportCommand(ExportSettings settings, unsigned command) {
    switch (command) {
        case IDM_EXPORT_CMX:
            settings.exportCmx = !settings.exportCmx;
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
    menu.checkedRate = settings.framesPerSecond == 24   ? IDM_CMX_RATE_24
                       : settings.framesPerSecond == 25 ? IDM_CMX_RATE_25
                       : settings.dropFrame             ? IDM_CMX_RATE_30_DROP
                                                        : IDM_CMX_RATE_30;
    menu.ratesEnabled = settings.exportCmx;
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
