// The oscilloscope mode: every byte of a chunk is a sample, drawn in triggered
// sweeps by ScopeStep; the throughput figures are written once a second.
#include "plot.h"

#include "../app/app.h"

#include <algorithm>

namespace {

const char16_t* const TriggerOffText = u"aus";

// TriggerCombo as the trigger test reads it. No window event is taken while a
// chunk is handled, so the text cannot change within a chunk and one reading
// serves every test of it.
struct TriggerSetting {
    bool read;
    bool off;
    int32_t threshold;
};

void ReadTriggerSetting(TriggerSetting& setting) {
    if (setting.read) {
        return;
    }
    const Text text = ControlText(TriggerCombo);
    setting.read = true;
    setting.off = text == TriggerOffText;
    setting.threshold = static_cast<int32_t>(static_cast<uint32_t>(TextValue(text)));
}

// Arms the trigger when the byte after the candidate, which equalled
// Threshold, is larger.
void SettleEdge(uint8_t next) {
    App.NextSampleText = IntText(next);
    if (TextValue(App.NextSampleText) > App.Threshold) {
        App.TriggerArmed = 1;
    }
}

// The trigger test on the sample at position p of a chunk of count bytes.
void TestTrigger(int32_t v, uint32_t p, uint32_t count, TriggerSetting& setting) {
    ReadTriggerSetting(setting);
    App.TriggerArmed = 0;
    App.Threshold = setting.threshold;
    if (v == App.Threshold) {
        if (p + 1 < count) {
            SettleEdge(App.RxBuffer[p + 1]);
        } else {
            // The byte after it has not been received yet.
            App.TriggerPending = 1;
        }
    }
    if (setting.off) {
        App.TriggerArmed = 1;
        App.TriggerPending = 0;
    }
}

} // namespace

void UpdateScopeFigures() {
    ShowFigures(IntText(static_cast<int64_t>(App.ByteTotal) / 1000) + u" FPS", App.ByteTotal);
    App.StatsTimer = TickCount();
    App.ByteTotal = 0;
}

void CheckModeChange() {
    Text mode = ControlText(ModeCombo);
    if (mode != App.LastModeText) {
        App.LastModeText = std::move(mode);
        PlotStep(-1, PlotReset);
    }
}

void HandleScopeChunk() {
    // A chunk never reaches beyond RxBuffer; without a byte there is nothing
    // to handle.
    const uint32_t count = std::min(App.AvailableCount, static_cast<uint32_t>(App.RxBuffer.size()));
    if (count == 0) {
        return;
    }
    App.ByteTotal = static_cast<int32_t>(static_cast<uint32_t>(App.ByteTotal) + count);
    if (FiguresDue(App.StatsTimer)) {
        UpdateScopeFigures();
    }
    CheckModeChange();
    const uint8_t* const chunk = App.RxBuffer.data();
    // Like the trigger text, the pause toggle cannot change within a chunk.
    const bool paused = ControlState(PauseButton) != 0;
    TriggerSetting setting{false, false, 0};
    if (App.TriggerPending == 1) {
        App.TriggerPending = 0;
        SettleEdge(chunk[0]);
    }
    for (uint32_t p = 0; p < count; ++p) {
        App.SampleByte = chunk[p];
        App.SampleText = IntText(App.SampleByte);
        const int32_t v = static_cast<int32_t>(TextValue(App.SampleText));
        if (!paused && App.TriggerArmed == 1) {
            App.SweepPos = ScopeStep(v);
        }
        if (App.SweepPos == 0) {
            TestTrigger(v, p, count, setting);
        }
    }
}
