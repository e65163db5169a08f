// Stand-ins for the registry and the serial port, for tests that drive the
// program through the headless back end. Both are plain global state, reset
// by each test.
#pragma once

#include "app/toolkit/toolkit.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

// ---- registry ----------------------------------------------------------------
// Registry result codes the fake hands back.
const long RegistryOk = 0;
const long RegistryNotFound = 2;      // ERROR_FILE_NOT_FOUND
const long RegistryBadHandle = 6;     // ERROR_INVALID_HANDLE
const long RegistryMoreData = 234;    // ERROR_MORE_DATA
const long RegistryNoMoreItems = 259; // ERROR_NO_MORE_ITEMS

// Value types, as the registry knows them.
const uint32_t TypeString = 1; // REG_SZ
const uint32_t TypeBinary = 3; // REG_BINARY
const uint32_t TypeDword = 4;  // REG_DWORD

// The serial device map becomes empty and present.
void ResetRegistry();
// The key cannot be opened.
void SetKeyMissing(bool missing);
// Appends a value; enumeration follows the order of appending.
void AddValue(const Text& name, uint32_t type, const std::vector<uint8_t>& data);
// A string value: the text's UTF-16 units plus a terminating NUL.
void AddStringValue(const Text& name, const Text& text);
// The UTF-16 units of a text as bytes, without terminator.
std::vector<uint8_t> TextBytes(const Text& text);

struct RegistryRecord {
    int opens = 0;
    int closes = 0;
    int enumCalls = 0;
    int queryCalls = 0;
    std::vector<uint32_t> enumCapacities;  // capacity passed in, per call
    std::vector<uint32_t> queryCapacities; // capacity passed in, per call
    std::vector<Text> queriedNames;
    bool callWhileClosed = false; // a call other than open while the key was closed
};
const RegistryRecord& Registry();

// ---- serial port ---------------------------------------------------------------
// No port open, no device, nothing queued, counters at 0.
void ResetPort();
// A device that can be opened under that name (exact, case-sensitive).
void AddDevice(const Text& name);
// A device that exists but is held by another program.
void AddBusyDevice(const Text& name);
// Results for the next OpenPort calls, used before the device list.
void ScriptOpenResults(const std::vector<int>& results);
// Bytes the driver has received; they wait until read.
void QueueBytes(const std::vector<uint8_t>& bytes);
// Bytes received and not yet read.
size_t QueuedBytes();
// The status query fails (device gone) while set.
void FailStatus(bool fail);
// Each read returns at most this many bytes (-1: no limit, the default).
void LimitReads(int limit);
// Reads fail while set.
void FailReads(bool fail);

struct PortRecord {
    bool open = false;
    int openCalls = 0;
    int closeCalls = 0;
    int waitingCalls = 0;
    int readCalls = 0;
    Text openName;                    // name of the last OpenPort call
    int32_t openBaud = 0;             // rate of the last OpenPort call
    std::vector<uint32_t> readCounts; // count asked for, per read
    bool openWhileOpen = false;       // OpenPort called with a port already open
    bool useWhileClosed = false;      // a read attempted while no port was open
};
const PortRecord& Port();

} // namespace fake
