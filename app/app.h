// The program-wide record, the fixed object numbers, start-up, the main loop,
// shutdown, and the window with its controls.
#pragma once

#include "toolkit/toolkit.h"

#include <cstdint>
#include <vector>

// ---- object numbers --------------------------------------------------------
const int MainWindow = 0;
const int StatusBar = 1;
const int SerialPortObject = 2;
const int LastFrame = 3;
const int WorkCanvas = 4;
const int PlotView = 5;
const int PortCombo = 6;
const int BaudCombo = 7;
const int ModeCombo = 8;
const int TriggerCombo = 9;
const int ConnectButton = 10;
const int PauseButton = 11;
const int InfoButton = 12;

// ---- status-bar fields -----------------------------------------------------
const int FrameRateField = 0;
const int SampleRateField = 1;
const int TimeBaseField = 2;
const int LoadLabelField = 3;
const int LoadBarField = 4;

const int RxBufferSize = 100000;

extern const char16_t* const WindowTitle;   // "Kurvomat - 1.0.0.1"
extern const char16_t* const ScopeModeText; // "Oszilloskop"

// ---- the program-wide record -----------------------------------------------
struct AppState {
    std::vector<uint8_t> RxBuffer; // RxBufferSize bytes once allocated
    int32_t Connected;
    int32_t TriggerArmed;
    int32_t SweepPos;
    Text LastModeText;
    uint32_t StatsTimer;
    uint32_t RefreshTimer;
    int32_t ByteTotal;
    Text PortName;
    int32_t LinkBaud;
    int32_t OpenResult;
    uint32_t AvailableCount;
    uint8_t SampleByte;
    Text SampleText;
    Text NextSampleText;
    int32_t Threshold;
    // 1 while a trigger candidate was the last byte of its chunk: the first
    // byte of the next oscilloscope chunk settles its test.
    int32_t TriggerPending;
    Text InfoText;
    std::vector<int32_t> PortList;
};

extern AppState App;

// ---- start-up, main loop, shutdown -----------------------------------------
// Start-up in its order, up to the main loop.
void StartUp();
// One pass of the main loop; false once PollEvent returned CloseRequest.
bool RunPass();
// Shutdown in its order.
void ShutDown();
// All three; the exit code, always 0.
int RunProgram();

// ---- window and controls ---------------------------------------------------
void BuildMainWindow();
void ApplyIdleStatus();
void ApplyControlRules();
