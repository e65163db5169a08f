// Serial acquisition: finding the ports at start-up, and the serial link that
// reads every waiting byte into RxBuffer and hands it to the plot mode.
//
// Back ends, chosen by the build:
//   ports in the registry: registry_scan.cpp over registry_win32.cpp (advapi32)
//                          or fake_registry.cpp (tests)
//   ports on Linux:        linux_ports.cpp (device files)
//   serial operations:     port_win32.cpp (kernel32), port_posix.cpp (termios)
//                          or fake_port.cpp (tests)
#pragma once

#include "../app/toolkit/toolkit.h"

#include <cstdint>
#include <string>
#include <vector>

// ---- port discovery ---------------------------------------------------------
// Fills the list of ports once at start-up.
void ScanComPorts();
// One item per port found in PortCombo, the first selected.
void FillPortCombo();

// ---- the registry, as the scan uses it -------------------------------------
// Each returns 0 on success, non-zero otherwise, like the advapi32 calls.
// Opens HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM for KEY_QUERY_VALUE.
long RegistryOpenSerialComm();
// Name of value number index into name; capacity in characters (terminator
// included) in, length without terminator out.
long RegistryEnumValueName(uint32_t index, char16_t* name, uint32_t* capacity);
// Data of the named value into data; capacity in bytes in, size out.
long RegistryQueryValue(const char16_t* name, uint8_t* data, uint32_t* capacity);
void RegistryClose();

// ---- the link ---------------------------------------------------------------
// Opens or closes the link so that it follows ConnectButton.
void UpdateLink();
// While connected: reads the waiting bytes and hands them to the plot mode.
// Otherwise: waits 3 ms.
void PollLink();

// ---- serial operations --------------------------------------------------------
// Non-zero on success, 0 on failure.
int OpenPort(const Text& name, int32_t baud);
// The device OpenPort opens for a port name: "\\.\" followed by the first 59
// characters of the name.
Text DevicePath(const Text& name);
void ClosePort();
// WaitingBytes' result when the port can no longer be asked (device gone).
const uint32_t PortLost = 0xFFFFFFFFu;
// Received bytes not yet read; 0 when no port is open; PortLost when the
// status query failed.
uint32_t WaitingBytes();
// Bytes read into buffer, at most count; 0 when the read fails.
uint32_t ReadPort(uint8_t* buffer, uint32_t count);

// ---- Linux devices ------------------------------------------------------------
// The serial devices below root ("/" on a real system) in the order they are
// offered: the virtual board's ports first, then USB adapters and boards, then
// on-board ports with hardware behind them.
std::vector<std::string> ListSerialDevices(const std::string& root);
