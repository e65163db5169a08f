// The registry calls of port discovery over an in-memory serial device map.
#include "fake_serial.h"

#include "serial/serial.h"

#include <cstring>

namespace fake {
namespace {

struct Value {
    Text name;
    uint32_t type;
    std::vector<uint8_t> data;
};

std::vector<Value> Values;
bool KeyMissing = false;
bool KeyOpen = false;
RegistryRecord Record;

char16_t Lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c;
}

// Value names are compared without regard to case, as the registry does.
bool SameName(const Text& a, const Text& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

void ResetRegistry() {
    Values.clear();
    KeyMissing = false;
    KeyOpen = false;
    Record = RegistryRecord();
}

void SetKeyMissing(bool missing) {
    KeyMissing = missing;
}

void AddValue(const Text& name, uint32_t type, const std::vector<uint8_t>& data) {
    Values.push_back(Value{name, type, data});
}

std::vector<uint8_t> TextBytes(const Text& text) {
    std::vector<uint8_t> bytes(text.size() * sizeof(char16_t));
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

void AddStringValue(const Text& name, const Text& text) {
    std::vector<uint8_t> data = TextBytes(text);
    data.push_back(0);
    data.push_back(0);
    AddValue(name, TypeString, data);
}

const RegistryRecord& Registry() {
    return Record;
}

} // namespace fake

using namespace fake;

long RegistryOpenSerialComm() {
    ++Record.opens;
    if (KeyMissing) {
        return RegistryNotFound;
    }
    KeyOpen = true;
    return RegistryOk;
}

long RegistryEnumValueName(uint32_t index, char16_t* name, uint32_t* capacity) {
    ++Record.enumCalls;
    Record.enumCapacities.push_back(*capacity);
    if (!KeyOpen) {
        Record.callWhileClosed = true;
        return RegistryBadHandle;
    }
    if (index >= Values.size()) {
        return RegistryNoMoreItems;
    }
    const Text& valueName = Values[index].name;
    // The name and its terminator must fit.
    if (valueName.size() + 1 > *capacity) {
        return RegistryMoreData;
    }
    std::memcpy(name, valueName.data(), valueName.size() * sizeof(char16_t));
    name[valueName.size()] = 0;
    *capacity = static_cast<uint32_t>(valueName.size());
    return RegistryOk;
}

long RegistryQueryValue(const char16_t* name, uint8_t* data, uint32_t* capacity) {
    ++Record.queryCalls;
    Record.queryCapacities.push_back(*capacity);
    Record.queriedNames.push_back(Text(name));
    if (!KeyOpen) {
        Record.callWhileClosed = true;
        return RegistryBadHandle;
    }
    for (const Value& value : Values) {
        if (SameName(value.name, Text(name))) {
            if (value.data.size() > *capacity) {
                *capacity = static_cast<uint32_t>(value.data.size());
                return RegistryMoreData;
            }
            // Exactly the stored bytes: nothing is added after them.
            std::memcpy(data, value.data.data(), value.data.size());
            *capacity = static_cast<uint32_t>(value.data.size());
            return RegistryOk;
        }
    }
    return RegistryNotFound;
}

void RegistryClose() {
    ++Record.closes;
    if (!KeyOpen) {
        Record.callWhileClosed = true;
    }
    KeyOpen = false;
}
