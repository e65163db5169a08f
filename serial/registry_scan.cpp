// Port discovery on Windows: every value of the registry's serial device map
// whose text begins with "com" in any case gives one port number.
#include "serial.h"

#include "../app/app.h"

#include <algorithm>

namespace {

// The work text holds 255 characters plus a terminator. The registry is
// given 255 characters for a value name and 255 bytes for its data.
const uint32_t WorkChars = 255;
const uint32_t NameCapacity = 255;
const uint32_t DataCapacity = 255;

char16_t LowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c;
}

// True when text holds "com" at position at, in any letter case.
bool ComAt(const Text& text, size_t at) {
    static const char16_t com[] = u"com";
    if (text.size() < at + 3) {
        return false;
    }
    for (size_t i = 0; i < 3; ++i) {
        if (LowerAscii(text[at + i]) != com[i]) {
            return false;
        }
    }
    return true;
}

// The text with every "COM" removed, any case, left to right, without overlap.
Text WithoutCom(const Text& text) {
    Text rest;
    for (size_t i = 0; i < text.size();) {
        if (ComAt(text, i)) {
            i += 3;
        } else {
            rest += text[i++];
        }
    }
    return rest;
}

} // namespace

void ScanComPorts() {
    if (RegistryOpenSerialComm() != 0) {
        return;
    }
    char16_t work[WorkChars + 1];
    for (uint32_t i = 0; i < WorkChars; ++i) {
        work[i] = u' ';
    }
    work[WorkChars] = 0;
    App.PortList.clear();

    for (uint32_t index = 0;; ++index) {
        uint32_t nameLength = NameCapacity;
        if (RegistryEnumValueName(index, work, &nameLength) != 0) {
            break;
        }
        if (nameLength == 0 || nameLength >= NameCapacity) {
            break;
        }
        Text name(work, nameLength);

        uint32_t dataSize = DataCapacity;
        if (RegistryQueryValue(name.c_str(), reinterpret_cast<uint8_t*>(work), &dataSize) != 0) {
            continue;
        }
        // Whatever its type, the data is read as UTF-16 text, only as far as
        // the registry filled it: up to the first NUL or to its end.
        size_t chars = std::min<uint32_t>(dataSize, DataCapacity) / sizeof(char16_t);
        Text value(work, chars);
        size_t nul = value.find(u'\0');
        if (nul != Text::npos) {
            value.resize(nul);
        }

        if (ComAt(value, 0)) {
            int64_t number = TextValue(WithoutCom(value));
            App.PortList.push_back(static_cast<int32_t>(static_cast<uint32_t>(number)));
        }
    }
    RegistryClose();
}

void FillPortCombo() {
    for (int32_t port : App.PortList) {
        AddItem(PortCombo, u"COM" + IntText(port));
    }
    SetControlState(PortCombo, 0);
}
