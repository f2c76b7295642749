// The position record in the current user's registry.
#include <windows.h>

#include "message_box.h"
#include "position_record.h"
#include "text.h"

HKEY OpenPositionKey() {
    char16_t path[64];
    const char16_t* parts[2] = {POSITION_KEY_PARENT, POSITION_KEY_NAME};
    FillTemplate(u"%s\\%s", parts, 2, nullptr, 0, path, 64);
    HKEY key = nullptr;
    if (RegCreateKeyW(HKEY_CURRENT_USER, AsWide(path), &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

WindowPosition ReadStoredPosition() {
    uint8_t record[POSITION_RECORD_BYTES] = {};
    DWORD count = 0;
    HKEY key = OpenPositionKey();
    if (key != nullptr) {
        DWORD size = sizeof record;
        if (RegQueryValueExW(key, AsWide(POSITION_VALUE_NAME), nullptr, nullptr, record, &size) ==
            ERROR_SUCCESS) {
            count = size;
        }
        RegCloseKey(key);
    }
    return DecodePositionRecord(record, count);
}

void StorePosition(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    HKEY key = OpenPositionKey();
    if (key == nullptr) {
        return;
    }
    uint8_t record[POSITION_RECORD_BYTES];
    EncodePositionRecord(left, top, right, bottom, record);
    RegSetValueExW(key, AsWide(POSITION_VALUE_NAME), 0, REG_BINARY, record, sizeof record);
    RegCloseKey(key);
}
