// The oscilloscope mode: triggered sweeps over every byte of a chunk, the
// trigger test across chunk ends, pause, mode changes and the figures.
#include "plot_fixture.h"

namespace {

class Scope : public PlotProgram {
  protected:
    // Runs the first sweep after start-up (it starts at once) to its end
    // with samples of 50, which match none of the thresholds used here, so
    // that the trigger test waits for its next candidate.
    static void FinishFirstSweep(const char16_t* trigger) {
        SetControlText(TriggerCombo, trigger);
        ScopeChunk(std::vector<uint8_t>(1001, 50));
        ASSERT_EQ(App.SweepPos, 0);
        ASSERT_EQ(Steps.ScopeX, 0);
    }
    // True when the sweep in progress holds exactly these samples from
    // column 0 on: WorkCanvas looks as a blank grid with these samples drawn.
    static bool SweepIs(const std::vector<int>& values) {
        const int Reference = 7;
        CreatePicture(Reference, 1000, 256);
        BeginDrawing(Reference);
        DrawBlankGrid();
        for (size_t i = 0; i < values.size(); ++i) {
            DrawTraceSegment(static_cast<int32_t>(i), i == 0 ? 0 : values[i - 1], values[i]);
        }
        BeginDrawing(WorkCanvas);
        const bool same = OffGrid(WorkCanvas) == OffGrid(Reference);
        EXPECT_TRUE(same) << "the picture differs";
        EXPECT_EQ(Steps.ScopeX, static_cast<int32_t>(values.size()));
        if (!values.empty()) {
            EXPECT_EQ(Steps.ScopePrev, values.back());
        }
        return same && Steps.ScopeX == static_cast<int32_t>(values.size());
    }
};

struct TriggerCase {
    const char16_t* trigger;
    std::vector<uint8_t> bytes;
    std::vector<int> drawn; // the new sweep's samples; empty: never triggered
};

TEST_F(Scope, TriggerStartsTheSweepWithTheLargerSampleOfARisingEdge) {
    const TriggerCase cases[] = {
        {u"128", {127, 128, 129}, {129}},
        {u"128", {128, 128, 129, 129}, {129, 129}},
        {u"128", {129, 128, 127, 126}, {}},
        {u"128", {128, 128, 127}, {}},
        {u"$80", {127, 128, 129}, {129}},
        {u"  +128xyz", {128, 200}, {200}},
        // No digits: the threshold reads 0.
        {u"AUS", {5, 0, 0, 7}, {7}},
        {u"", {5, 0, 7}, {7}},
        {u"kein", {5, 0, 7}, {7}},
        // Outside 0 to 255 nothing ever triggers.
        {u"300", {44, 0, 255, 44, 255}, {}},
        {u"-1", {0, 255, 0, 255, 1}, {}},
        {u"4294967424", {127, 128, 129}, {129}}, // low 32 bits: 128
        // Free running: the sample after the sweep's end starts the next.
        {u"aus", {9, 8, 7}, {9, 8, 7}},
    };
    for (const TriggerCase& c : cases) {
        SCOPED_TRACE(Utf8FromText(c.trigger) + " " + std::to_string(c.bytes.size()));
        Steps = PlotStepState();
        App.TriggerArmed = 1;
        App.SweepPos = 0;
        FinishFirstSweep(c.trigger);
        ScopeChunk(c.bytes);
        EXPECT_TRUE(SweepIs(c.drawn));
        EXPECT_EQ(App.SweepPos, static_cast<int32_t>(c.drawn.size()));
        EXPECT_EQ(App.TriggerArmed, c.drawn.empty() ? 0 : 1);
    }
}

TEST_F(Scope, SampleThatEndsASweepIsTheFirstCandidate) {
    SetControlText(TriggerCombo, u"128");
    std::vector<uint8_t> bytes(1000, 50);
    bytes.push_back(128); // the sweep's last sample
    bytes.push_back(130);
    bytes.push_back(131);
    ScopeChunk(bytes);
    EXPECT_TRUE(SweepIs({130, 131}));
}

// The edge 128 -> 129 with the chunk boundary between the two bytes, and
// the same stream in one chunk: the same sweep.
TEST_F(Scope, RisingEdgeSplitAcrossTwoChunksTriggersAsInOne) {
    FinishFirstSweep(u"128");
    ScopeChunk({127, 128});
    EXPECT_EQ(App.TriggerArmed, 0);
    EXPECT_TRUE(SweepIs({}));
    ScopeChunk({129, 130});
    EXPECT_TRUE(SweepIs({129, 130}));
}

TEST_F(Scope, CandidateAtAChunkEndIsNotSettledByStaleBytes) {
    FinishFirstSweep(u"128");
    // An earlier, longer chunk leaves 255 after the end of the next one.
    ScopeChunk({10, 11, 255, 255});
    ScopeChunk({127, 128});
    ASSERT_EQ(App.RxBuffer[2], 255);
    EXPECT_EQ(App.TriggerArmed, 0);
    // The byte that really follows is smaller: no trigger; it is itself
    // the next sample tested.
    ScopeChunk({100, 128, 120});
    EXPECT_EQ(App.TriggerArmed, 0);
    EXPECT_TRUE(SweepIs({}));
    ScopeChunk({128, 200, 7});
    EXPECT_TRUE(SweepIs({200, 7}));
}

TEST_F(Scope, CandidateAtTheEndOfAFullBufferWaitsForTheNextChunk) {
    FinishFirstSweep(u"128");
    std::vector<uint8_t> full(RxBufferSize, 60);
    full.back() = 128;
    ScopeChunk(full);
    EXPECT_EQ(App.TriggerArmed, 0);
    EXPECT_EQ(Steps.ScopeX, 0);
    ScopeChunk({129});
    EXPECT_TRUE(SweepIs({129}));
}

TEST_F(Scope, ThresholdChangeAppliesFromTheNextTestAndNeverCutsASweep) {
    FinishFirstSweep(u"128");
    ScopeChunk({128, 129, 1, 2});
    SetControlText(TriggerCombo, u"2");
    ScopeChunk({3, 4});
    EXPECT_TRUE(SweepIs({129, 1, 2, 3, 4}));
    ScopeChunk(std::vector<uint8_t>(996, 70)); // completes the sweep
    EXPECT_EQ(App.SweepPos, 0);
    ScopeChunk({128, 129, 2, 3});
    EXPECT_TRUE(SweepIs({3}));
}

TEST_F(Scope, PauseInASweepDropsSamplesAndGoesOnAtTheSameColumn) {
    ScopeChunk({10, 20, 30});
    SetControlState(PauseButton, 1);
    ScopeChunk({99, 98, 97});
    EXPECT_EQ(Steps.ScopeX, 3);
    EXPECT_EQ(App.TriggerArmed, 1);
    SetControlState(PauseButton, 0);
    ScopeChunk({40});
    EXPECT_TRUE(SweepIs({10, 20, 30, 40}));
}

TEST_F(Scope, PauseBetweenSweepsKeepsTestingTheTrigger) {
    FinishFirstSweep(u"128");
    SetControlState(PauseButton, 1);
    ScopeChunk({128, 129});
    // 128 -> 129 armed the trigger, but nothing was drawn, so 129 was tested
    // as well and failed.
    EXPECT_EQ(App.TriggerArmed, 0);
    EXPECT_TRUE(SweepIs({}));
    ScopeChunk({5, 128});
    SetControlState(PauseButton, 0);
    ScopeChunk({129, 77});
    EXPECT_TRUE(SweepIs({129, 77}));
}

TEST_F(Scope, FirstChunkAfterStartUpClearsTheCanvasThenDrawsAtOnce) {
    headless::ClearShownPictures();
    ScopeChunk({10, 20});
    EXPECT_EQ(Utf8FromText(App.LastModeText), "Oszilloskop");
    EXPECT_EQ(headless::ShownPictures(), std::vector<int>{WorkCanvas});
    EXPECT_TRUE(SweepIs({10, 20}));
    EXPECT_EQ(Utf8FromText(App.SampleText), "20");
}

TEST_F(Scope, ReturnFromAnotherModeClearsTheCanvasAndTheSweepGoesOn) {
    std::vector<uint8_t> first(300, 80);
    ScopeChunk(first);
    EnterPlotMode(u"schneller Plot");
    PlotChunk({5});
    SetControlText(ModeCombo, u"Oszilloskop");
    headless::ClearShownPictures();
    ScopeChunk({90, 91});
    // Cleared once at the first chunk, then the sweep goes on at column 300.
    EXPECT_EQ(headless::ShownPictures(), std::vector<int>{WorkCanvas});
    EXPECT_EQ(Steps.ScopeX, 302);
    EXPECT_EQ(TraceColumns(WorkCanvas), (std::vector<int>{299, 300, 301}));
    EXPECT_EQ(TraceRows(WorkCanvas, 301), std::vector<int>{164});
}

TEST_F(Scope, FiguresForSomeByteCounts) {
    const Figures cases[] = {
        {92160, "92 FPS", "92160 Werte/s", "0.54 ms/DIV"},
        {1000, "1 FPS", "1000 Werte/s", "50.00 ms/DIV"},
        {999, "0 FPS", "999 Werte/s", "50.05 ms/DIV"},
        {1, "0 FPS", "1 Werte/s", "50000.00 ms/DIV"},
    };
    for (const Figures& c : cases) {
        SCOPED_TRACE(c.count);
        headless::SetTick(App.StatsTimer + 1000);
        // The chunk of this pass is counted before the figures are written.
        ScopeChunk(std::vector<uint8_t>(static_cast<size_t>(c.count), 128));
        ExpectFigures(c);
        EXPECT_EQ(App.ByteTotal, 0);
        EXPECT_EQ(App.StatsTimer, TickCount());
    }
}

// StatsTimer at ordinary ticks, just below 2^31, just before the wrap and at
// 2^31.
const uint32_t TimerTicks[] = {5000u, 0x7FFFFE00u, 0xFFFFFE00u, 0x80000000u};

TEST_F(Scope, FiguresComeOnceASecondAtAnyUptime) {
    for (uint32_t start : TimerTicks) {
        SCOPED_TRACE(start);
        App.StatsTimer = start;
        App.ByteTotal = 0;
        for (int second = 1; second <= 3; ++second) {
            headless::ClearStatusCalls();
            for (uint32_t early : {1u, 500u, 999u}) {
                headless::SetTick(start + 1000u * (second - 1) + early);
                ScopeChunk({1});
            }
            EXPECT_TRUE(headless::StatusCalls().empty()) << "less than 1000 ms after an update";
            headless::SetTick(start + 1000u * second);
            ScopeChunk({1, 2});
            EXPECT_EQ(Field(SampleRateField), "5 Werte/s");
            EXPECT_EQ(headless::StatusCalls().size(), 4u);
        }
    }
}

TEST_F(Scope, FiguresGoOnWhilePausedAndCountEveryByte) {
    SetControlState(PauseButton, 1);
    ScopeChunk(std::vector<uint8_t>(700, 1));
    headless::AdvanceTick(1000);
    ScopeChunk(std::vector<uint8_t>(600, 1));
    EXPECT_EQ(Field(SampleRateField), "1300 Werte/s");
    EXPECT_EQ(Field(FrameRateField), "1 FPS");
}

} // namespace
