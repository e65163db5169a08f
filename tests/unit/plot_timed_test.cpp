// The fast and timed modes: one sample per chunk, the plot tests at their
// boundaries, the labels, and the delay after every chunk.
#include "plot_fixture.h"

namespace {

using TimedModes = PlotProgram;

struct TimedMode {
    const char16_t* mode;
    uint32_t tooEarly;               // ms after StatsTimer: no plot
    uint32_t inTime;                 // ms after StatsTimer: plot
    std::vector<std::string> labels; // empty: PlotStep's own figures
    int delay;
};

const TimedMode Timed[] = {
    {u"Plot (0.01s)", 10, 11, {}, 2},
    {u"Plot (0.1s)", 99, 100, {"100 s/FPS", "1,6 min/FPS", "5.0 s/DIV"}, 2},
    {u"Plot (0.5s)", 499, 500, {"500 s/FPS", "8,3 min/FPS", "25 s/DIV"}, 4},
    {u"Plot (1.0s)", 999, 1000, {"1000 s/FPS", "16,6 min/FPS", "50 s/DIV"}, 10},
    {u"Plot (2.0s)", 1999, 2000, {"2000 s/FPS", "33,3 min/FPS", "100 s/DIV"}, 20},
    {u"Plot (5.0s)", 4999, 5000, {"5000 s/FPS", "83,3 min/FPS", "250 s/DIV"}, 50},
};

TEST_F(TimedModes, EachModePlotsOnlyOnceItsIntervalHasPassed) {
    for (const TimedMode& m : Timed) {
        SCOPED_TRACE(Utf8FromText(m.mode));
        EnterPlotMode(m.mode);
        // The wrapped difference: StatsTimer just before the wrap.
        const uint32_t timer = 0xFFFFFFF0u;
        App.StatsTimer = timer;
        headless::ClearDelays();
        headless::ClearStatusCalls();

        headless::SetTick(timer + m.tooEarly);
        PlotChunk({33, 44});
        EXPECT_EQ(Steps.PlotSamples, 0);
        EXPECT_EQ(App.StatsTimer, timer);
        EXPECT_TRUE(headless::StatusCalls().empty());
        EXPECT_EQ(headless::Delays(), std::vector<int>{m.delay});

        headless::SetTick(timer + m.inTime);
        PlotChunk({66, 77});
        EXPECT_EQ(Steps.PlotSamples, m.labels.empty() ? 0 : 1);
        EXPECT_EQ(OffGrid(WorkCanvas), std::vector<std::string>{"0,189"});
        EXPECT_EQ(App.StatsTimer, timer + m.inTime);
        EXPECT_EQ(headless::Delays(), (std::vector<int>{m.delay, m.delay}));
        std::vector<std::string> calls;
        if (m.labels.empty()) {
            calls = {"text 0 800.00 s/FPS 4", "text 1 1 Werte/s 4", "text 2 50000.00 ms/DIV 4",
                     "progress 4 1 0 92160"};
        } else {
            for (int field = 0; field < 3; ++field) {
                calls.push_back("text " + std::to_string(field) + " " +
                                m.labels[static_cast<size_t>(field)] + " 4");
            }
            calls.push_back("progress 4 0 0 10");
        }
        EXPECT_EQ(headless::StatusCalls(), calls);
    }
}

TEST_F(TimedModes, FastPlotDrawsTheFirstByteOfEveryChunkWithoutDelay) {
    EnterPlotMode(u"schneller Plot");
    const uint32_t timer = App.StatsTimer;
    headless::AdvanceTick(5000);
    std::vector<uint8_t> chunk(500, 255);
    chunk[0] = 10;
    PlotChunk(chunk);
    PlotChunk({20, 255, 255});
    EXPECT_EQ(Steps.PlotX, 2);
    EXPECT_EQ(Steps.PlotPrev, 20);
    // 10 at column 0, 20 at column 1, and nothing else.
    EXPECT_EQ(TraceColumns(WorkCanvas), (std::vector<int>{0, 1}));
    EXPECT_EQ(TraceRows(WorkCanvas, 0), (std::vector<int>{240, 241, 242, 243, 244, 245}));
    EXPECT_EQ(TraceRows(WorkCanvas, 1), (std::vector<int>{235, 236, 237, 238, 239}));
    EXPECT_EQ(Utf8FromText(App.SampleText), "20");
    EXPECT_TRUE(headless::Delays().empty());
    // StatsTimer belongs to the timed modes and the oscilloscope figures.
    EXPECT_EQ(App.StatsTimer, timer);
    EXPECT_EQ(Field(FrameRateField), "800.00 s/FPS");
}

TEST_F(TimedModes, PausedModeStillDelaysButPlotsAndWritesNothing) {
    EnterPlotMode(u"Plot (2.0s)");
    SetControlState(PauseButton, 1);
    const uint32_t timer = App.StatsTimer;
    headless::ClearStatusCalls();
    headless::ClearShownPictures();
    for (int i = 0; i < 3; ++i) {
        headless::AdvanceTick(5000);
        PlotChunk({1});
    }
    EXPECT_EQ(headless::Delays(), (std::vector<int>{20, 20, 20}));
    EXPECT_TRUE(headless::StatusCalls().empty());
    EXPECT_TRUE(headless::ShownPictures().empty());
    EXPECT_EQ(App.StatsTimer, timer);
    // The first chunk after the pause plots at once.
    SetControlState(PauseButton, 0);
    PlotChunk({2});
    EXPECT_EQ(Steps.PlotSamples, 1);
}

TEST_F(TimedModes, SwitchToFastPlotClearsAndReplacesTheLabels) {
    EnterPlotMode(u"Plot (0.1s)");
    headless::AdvanceTick(100);
    PlotChunk({50});
    PlotChunk({60}); // too early: the sample is dropped
    ASSERT_EQ(Field(SampleRateField), "1,6 min/FPS");

    SetControlText(ModeCombo, u"schneller Plot");
    SetControlState(PauseButton, 1);
    PlotChunk({70});
    // Cleared, but paused: the labels stay.
    EXPECT_TRUE(OffGrid(WorkCanvas).empty());
    EXPECT_EQ(Field(SampleRateField), "1,6 min/FPS");
    SetControlState(PauseButton, 0);
    PlotChunk({80});
    EXPECT_EQ(OffGrid(WorkCanvas), std::vector<std::string>{"0,175"});
    EXPECT_EQ(Field(FrameRateField), "800.00 s/FPS");
    EXPECT_EQ(Field(SampleRateField), "1 Werte/s");
}

TEST_F(TimedModes, IntervalCountsFromTheLastScopeFiguresUpdate) {
    ScopeChunk({1});
    headless::AdvanceTick(1000);
    ScopeChunk({2}); // figures update: StatsTimer = now
    const uint32_t updated = App.StatsTimer;
    ASSERT_EQ(updated, TickCount());
    SetControlText(ModeCombo, u"Plot (0.5s)");
    headless::SetTick(updated + 499);
    PlotChunk({3});
    EXPECT_EQ(Steps.PlotSamples, 0);
    headless::SetTick(updated + 500);
    PlotChunk({3});
    EXPECT_EQ(Steps.PlotSamples, 1);
}

TEST_F(TimedModes, OscilloscopeTextIsNoPlotMode) {
    headless::ClearShownPictures();
    PlotChunk({9});
    EXPECT_TRUE(headless::Delays().empty());
    EXPECT_TRUE(headless::ShownPictures().empty());
    EXPECT_TRUE(App.LastModeText.empty());
    EXPECT_EQ(Utf8FromText(App.SampleText), "");
}

// Neither handler reads a byte of a chunk that has none.
TEST_F(TimedModes, ChunkWithoutBytesIsNotHandled) {
    PutChunk({200, 201});
    App.AvailableCount = 0;
    headless::ClearShownPictures();
    HandleScopeChunk();
    EXPECT_EQ(App.ByteTotal, 0);
    EXPECT_TRUE(App.LastModeText.empty());
    SetControlText(ModeCombo, u"Plot (1.0s)");
    headless::AdvanceTick(5000);
    HandlePlotChunk();
    EXPECT_TRUE(headless::ShownPictures().empty());
    EXPECT_TRUE(headless::Delays().empty());
    EXPECT_TRUE(App.SampleText.empty());
}

} // namespace
