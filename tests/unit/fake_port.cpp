// The serial operations over an in-memory port: devices by name, a receive
// queue filled by the test, and switches for the failures a driver can show.
#include "fake_serial.h"

#include "serial/serial.h"

#include <algorithm>
#include <deque>

namespace fake {
namespace {

std::vector<Text> Devices;
std::vector<Text> BusyDevices;
std::deque<int> OpenScript;
std::deque<uint8_t> Received;
bool StatusFails = false;
bool ReadsFail = false;
int ReadLimit = -1;
PortRecord Record;

bool Listed(const std::vector<Text>& list, const Text& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

} // namespace

void ResetPort() {
    Devices.clear();
    BusyDevices.clear();
    OpenScript.clear();
    Received.clear();
    StatusFails = false;
    ReadsFail = false;
    ReadLimit = -1;
    Record = PortRecord();
}

void AddDevice(const Text& name) {
    Devices.push_back(name);
}
void AddBusyDevice(const Text& name) {
    BusyDevices.push_back(name);
}
void ScriptOpenResults(const std::vector<int>& results) {
    OpenScript.insert(OpenScript.end(), results.begin(), results.end());
}
void QueueBytes(const std::vector<uint8_t>& bytes) {
    Received.insert(Received.end(), bytes.begin(), bytes.end());
}
size_t QueuedBytes() {
    return Received.size();
}
void FailStatus(bool fail) {
    StatusFails = fail;
}
void LimitReads(int limit) {
    ReadLimit = limit;
}
void FailReads(bool fail) {
    ReadsFail = fail;
}
const PortRecord& Port() {
    return Record;
}

} // namespace fake

using namespace fake;

int OpenPort(const Text& name, int32_t baud) {
    ++Record.openCalls;
    Record.openName = name;
    Record.openBaud = baud;
    if (Record.open) {
        Record.openWhileOpen = true;
    }
    int result;
    if (!OpenScript.empty()) {
        result = OpenScript.front();
        OpenScript.pop_front();
    } else {
        result = (Listed(Devices, name) && !Listed(BusyDevices, name)) ? 1 : 0;
    }
    if (result != 0) {
        Record.open = true;
    }
    return result;
}

void ClosePort() {
    ++Record.closeCalls;
    Record.open = false;
}

uint32_t WaitingBytes() {
    ++Record.waitingCalls;
    if (!Record.open) {
        return 0;
    }
    if (StatusFails) {
        return PortLost;
    }
    return static_cast<uint32_t>(Received.size());
}

uint32_t ReadPort(uint8_t* buffer, uint32_t count) {
    ++Record.readCalls;
    Record.readCounts.push_back(count);
    if (!Record.open) {
        Record.useWhileClosed = true;
        return 0;
    }
    if (ReadsFail) {
        return 0;
    }
    size_t n = std::min<size_t>(count, Received.size());
    if (ReadLimit >= 0) {
        n = std::min<size_t>(n, static_cast<size_t>(ReadLimit));
    }
    std::copy(Received.begin(), Received.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    Received.erase(Received.begin(), Received.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<uint32_t>(n);
}
