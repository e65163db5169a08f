// The registry calls of port discovery, over advapi32.
#include "serial.h"

#include <windows.h>

namespace {

HKEY SerialCommKey = nullptr;

} // namespace

long RegistryOpenSerialComm() {
    SerialCommKey = nullptr;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                         &SerialCommKey);
}

long RegistryEnumValueName(uint32_t index, char16_t* name, uint32_t* capacity) {
    DWORD length = *capacity;
    LONG result = RegEnumValueW(SerialCommKey, index, reinterpret_cast<wchar_t*>(name), &length,
                                nullptr, nullptr, nullptr, nullptr);
    *capacity = length;
    return result;
}

long RegistryQueryValue(const char16_t* name, uint8_t* data, uint32_t* capacity) {
    DWORD size = *capacity;
    LONG result = RegQueryValueExW(SerialCommKey, reinterpret_cast<const wchar_t*>(name), nullptr,
                                   nullptr, data, &size);
    *capacity = size;
    return result;
}

void RegistryClose() {
    if (SerialCommKey != nullptr) {
        RegCloseKey(SerialCommKey);
        SerialCommKey = nullptr;
    }
}
