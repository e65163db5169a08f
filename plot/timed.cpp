// The fast and timed modes: each chunk gives at most one sample, its first
// byte, drawn by PlotStep; the timed modes plot at most one an interval and
// sleep after every chunk.
#include "plot.h"

#include "../app/app.h"

namespace {

struct PlotMode {
    const char16_t* text;
    // Least time since StatsTimer for a plot; 0: no test, StatsTimer untouched.
    int32_t interval;
    int32_t kind;
    // Fixed labels of fields 0, 1 and 2, or none: PlotStep writes its figures.
    const char16_t* labels[3];
    int32_t delay;
};

// In the order the modes are tested. "Plot (0.01s)" plots only after more
// than 10 ms, the others once their interval has passed.
const PlotMode PlotModes[] = {
    {u"schneller Plot", 0, PlotWithStats, {nullptr, nullptr, nullptr}, 0},
    {u"Plot (0.01s)", 11, PlotWithStats, {nullptr, nullptr, nullptr}, 2},
    {u"Plot (0.1s)", 100, PlotOnly, {u"100 s/FPS", u"1,6 min/FPS", u"5.0 s/DIV"}, 2},
    {u"Plot (0.5s)", 500, PlotOnly, {u"500 s/FPS", u"8,3 min/FPS", u"25 s/DIV"}, 4},
    {u"Plot (1.0s)", 1000, PlotOnly, {u"1000 s/FPS", u"16,6 min/FPS", u"50 s/DIV"}, 10},
    {u"Plot (2.0s)", 2000, PlotOnly, {u"2000 s/FPS", u"33,3 min/FPS", u"100 s/DIV"}, 20},
    {u"Plot (5.0s)", 5000, PlotOnly, {u"5000 s/FPS", u"83,3 min/FPS", u"250 s/DIV"}, 50},
};

const PlotMode* FindPlotMode(const Text& text) {
    for (const PlotMode& mode : PlotModes) {
        if (text == mode.text) {
            return &mode;
        }
    }
    return nullptr;
}

bool IntervalPassed(const PlotMode& mode) {
    if (mode.interval == 0) {
        return true;
    }
    // The wrapped difference, read as signed.
    return static_cast<int32_t>(TickCount() - App.StatsTimer) >= mode.interval;
}

} // namespace

void HandlePlotChunk() {
    const PlotMode* const mode = FindPlotMode(ControlText(ModeCombo));
    // Only byte 0 of the chunk is used; without it there is nothing to plot.
    if (mode == nullptr || App.AvailableCount == 0 || App.RxBuffer.empty()) {
        return;
    }
    CheckModeChange();
    App.SampleByte = App.RxBuffer[0];
    App.SampleText = IntText(App.SampleByte);
    const int32_t v = static_cast<int32_t>(TextValue(App.SampleText));
    if (ControlState(PauseButton) == 0 && IntervalPassed(*mode)) {
        PlotStep(v, mode->kind);
        if (mode->interval != 0) {
            App.StatsTimer = TickCount();
        }
        if (mode->labels[0] != nullptr) {
            StatusText(FrameRateField, mode->labels[0], StatusCentred);
            StatusText(SampleRateField, mode->labels[1], StatusCentred);
            StatusText(TimeBaseField, mode->labels[2], StatusCentred);
            StatusProgress(LoadBarField, 0, 0, 10);
        }
    }
    if (mode->delay != 0) {
        Delay(mode->delay);
    }
}
