// The export settings in the current user's registry, beside the position record.
#include <windows.h>

#include "export_settings.h"
#include "message_box.h"
#include "position_record.h"

namespace {

bool ReadNumber(HKEY key, const char16_t* name, uint32_t* value) {
    DWORD type = 0;
    DWORD size = sizeof *value;
    return RegQueryValueExW(key, AsWide(name), nullptr, &type, reinterpret_cast<BYTE*>(value),
                            &size) == ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof *value;
}

void StoreNumber(HKEY key, const char16_t* name, uint32_t value) {
    RegSetValueExW(key, AsWide(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}

}  // namespace

ExportSettings ReadExportSettings() {
    uint32_t values[3] = {};
    bool read[3] = {};
    HKEY key = OpenPositionKey();
    if (key != nullptr) {
        read[0] = ReadNumber(key, EXPORT_VALUE_NAME, &values[0]);
        read[1] = ReadNumber(key, FRAME_RATE_VALUE_NAME, &values[1]);
        read[2] = ReadNumber(key, DROP_FRAME_VALUE_NAME, &values[2]);
        RegCloseKey(key);
    }
    return DecodeExportSettings(read[0] ? &values[0] : nullptr, read[1] ? &values[1] : nullptr,
                                read[2] ? &values[2] : nullptr);
}

void StoreExportSettings(const ExportSettings& settings) {
    HKEY key = OpenPositionKey();
    if (key == nullptr) {
        return;
    }
    StoreNumber(key, EXPORT_VALUE_NAME, settings.exportCmx ? 1 : 0);
    StoreNumber(key, FRAME_RATE_VALUE_NAME, static_cast<uint32_t>(settings.framesPerSecond));
    StoreNumber(key, DROP_FRAME_VALUE_NAME, settings.dropFrame ? 1 : 0);
    RegCloseKey(key);
}
