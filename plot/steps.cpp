// The two sweep engines: ScopeStep draws whole sweeps off-screen and hands
// each over when it is complete; PlotStep hands the canvas over after every
// sample and writes its own figures once a second.
#include "plot.h"

#include "../app/app.h"

PlotStepState Steps;

namespace {

// The column counter runs 0 to 1000; the sample at 1000 ends the sweep.
const int32_t SweepLastColumn = 1000;
const uint32_t FiguresPeriod = 1000;
// Samples per frame in the seconds-per-frame figure.
const double SamplesPerFrame = 800.0;
const double GridDivisions = 20.0;

void UpdatePlotFigures() {
    const int32_t n = Steps.PlotSamples;
    const float secondsPerFrame = static_cast<float>(1.0 / (n / SamplesPerFrame));
    ShowFigures(FloatText(secondsPerFrame, 2) + u" s/FPS", n);
    Steps.PlotStatsTimer = TickCount();
    Steps.PlotSamples = 0;
    Steps.PlotFiguresDue = 0;
}

} // namespace

bool FiguresDue(uint32_t timer) {
    // Every timer is an earlier reading of the clock, so the unsigned
    // difference is the time passed, also beyond 2^31 and across the wrap.
    return TickCount() - timer >= FiguresPeriod;
}

void ShowFigures(const Text& frameText, int32_t count) {
    const float msPerDivision = static_cast<float>(1000.0 / (count / 1000.0) / GridDivisions);
    StatusText(FrameRateField, frameText, StatusCentred);
    StatusText(SampleRateField, IntText(count) + u" Werte/s", StatusCentred);
    StatusText(TimeBaseField, FloatText(msPerDivision, 2) + u" ms/DIV", StatusCentred);
    // Bytes a second at the baud rate with ten bits a byte; low 32 bits.
    const int64_t loadMaximum = TextValue(ControlText(BaudCombo)) / 10;
    StatusProgress(LoadBarField, count, 0,
                   static_cast<int32_t>(static_cast<uint32_t>(loadMaximum)));
}

int32_t ScopeStep(int32_t value) {
    DrawTraceSegment(Steps.ScopeX, Steps.ScopePrev, value);
    Steps.ScopePrev = value;
    if (Steps.ScopeX < SweepLastColumn) {
        Steps.ScopeX = Steps.ScopeX + 1;
        return Steps.ScopeX;
    }
    Steps.ScopeX = 0;
    HandOverSweep();
    return 0;
}

void PlotStep(int32_t value, int32_t kind) {
    if (kind == PlotReset) {
        Steps.PlotSamples = 0;
        Steps.PlotStatsTimer = 0;
        Steps.PlotX = 0;
        Steps.PlotPrev = 0;
        Steps.PlotFiguresDue = 1;
        HandOverReset();
        return;
    }
    Steps.PlotSamples = Steps.PlotSamples + 1;
    DrawTraceSegment(Steps.PlotX, Steps.PlotPrev, value);
    Steps.PlotPrev = value;
    HandOverSample();
    if (Steps.PlotX < SweepLastColumn) {
        Steps.PlotX = Steps.PlotX + 1;
    } else {
        Steps.PlotX = 0;
        HandOverSweep();
    }
    if (kind == PlotWithStats && (Steps.PlotFiguresDue == 1 || FiguresDue(Steps.PlotStatsTimer))) {
        UpdatePlotFigures();
    }
}
