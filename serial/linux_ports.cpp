// Port discovery on Linux: the serial devices found at start-up, offered in
// PortCombo by their paths. A path the user types is opened as typed.
#include "serial.h"

#include "../app/app.h"

#include <string>
#include <vector>

namespace {

// The device paths found by ScanComPorts, in the order offered.
std::vector<std::string> DevicePaths;

} // namespace

void ScanComPorts() {
    DevicePaths = ListSerialDevices("/");
}

void FillPortCombo() {
    for (const std::string& path : DevicePaths)
        AddItem(PortCombo, TextFromUtf8(path));
    SetControlState(PortCombo, 0);
}
