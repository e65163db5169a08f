// Plotting: the canvas with its hand-overs, the two sweep engines, the
// oscilloscope mode and the fast and timed modes.
#pragma once

#include "../app/toolkit/toolkit.h"

#include <cstdint>

const Colour WhiteColour = 0xFFFFFF;
const Colour GridColour = 0xBBBBBB;
const Colour TraceColour = 0xFF0000;

// ---- canvas -------------------------------------------------------------------
void SetUpCanvas();
void DrawBlankGrid();
void DrawTraceSegment(int32_t x, int32_t previous, int32_t value);
void HandOverSweep();
void HandOverSample();
void HandOverReset();
void IdleRefresh();

// ---- plot steps -----------------------------------------------------------------
const int32_t PlotOnly = 0;
const int32_t PlotReset = 1;
const int32_t PlotWithStats = 2;

struct PlotStepState {
    int32_t ScopeX;
    int32_t ScopePrev;
    int32_t PlotX;
    int32_t PlotPrev;
    int32_t PlotSamples;
    uint32_t PlotStatsTimer;
    // 1 from a PlotReset until the figures update that follows it, so that
    // update comes at once whatever the tick count reads.
    int32_t PlotFiguresDue;
};
extern PlotStepState Steps;

int32_t ScopeStep(int32_t value);
void PlotStep(int32_t value, int32_t kind);

// ---- the once-a-second figures of both engines ---------------------------------
// True once 1000 ms or more have passed since timer (a TickCount reading),
// at any uptime and across the wrap of the tick count.
bool FiguresDue(uint32_t timer);
// Writes frameText, count " Werte/s", the time per grid division of count
// samples a second, and count on the load bar against the baud rate / 10.
void ShowFigures(const Text& frameText, int32_t count);

// ---- modes ----------------------------------------------------------------------
void HandleScopeChunk();
void UpdateScopeFigures();
void CheckModeChange();
void HandlePlotChunk();
