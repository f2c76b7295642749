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
    uint32_t values[EXPORT_VALUE_COUNT] = {};
    const uint32_t* read[EXPORT_VALUE_COUNT] = {};
    HKEY key = OpenPositionKey();
    if (key != nullptr) {
        for (int k = 0; k < EXPORT_VALUE_COUNT; ++k) {
            read[k] = ReadNumber(key, EXPORT_VALUE_NAMES[k], &values[k]) ? &values[k] : nullptr;
        }
        RegCloseKey(key);
    }
    return DecodeExportSettings(read);
}

void StoreExportSettings(const ExportSettings& settings) {
    HKEY key = OpenPositionKey();
    if (key == nullptr) {
        return;
    }
    uint32_t values[EXPORT_VALUE_COUNT];
    EncodeExportSettings(settings, values);
    for (int k = 0; k < EXPORT_VALUE_COUNT; ++k) {
        StoreNumber(key, EXPORT_VALUE_NAMES[k], values[k]);
    }
    RegCloseKey(key);
}
