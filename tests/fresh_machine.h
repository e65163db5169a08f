// Everything a test program keeps between tests, put back as on a machine
// that has just started: the headless toolkit with its clock, the fake
// registry and serial port, and the plot steps' counters (program-wide, like
// the record the program's start-up clears).
#pragma once

#include "app/toolkit/headless.h"
#include "fake_serial.h"
#include "plot/plot.h"

inline void ResetFreshMachine() {
    headless::Reset();
    fake::ResetRegistry();
    fake::ResetPort();
    Steps = PlotStepState();
}

// A serial port the registry lists and the driver can open.
inline void AddWorkingPort(const char16_t* valueName, const char16_t* port) {
    fake::AddStringValue(valueName, port);
    fake::AddDevice(port);
}
