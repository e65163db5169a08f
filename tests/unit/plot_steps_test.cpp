// The sweep engines: ScopeStep's sweeps of 1001 samples, PlotStep with its
// three kinds and its once-a-second figures.
#include "plot_fixture.h"

namespace {

using PlotSteps = PlotProgram;

TEST_F(PlotSteps, FirstScopeStepDrawsOnlyItsPointAndReturnsOne) {
    EXPECT_EQ(ScopeStep(40), 1);
    EXPECT_EQ(OffGrid(WorkCanvas), std::vector<std::string>{"0,215"});
}

TEST_F(PlotSteps, ScopeSweepIsShownOnlyWhenItsLastSampleIsDrawn) {
    headless::ClearShownPictures();
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(ScopeStep(i % 256), i + 1);
    }
    EXPECT_TRUE(headless::ShownPictures().empty());
    EXPECT_EQ(TraceColumns(WorkCanvas).size(), 1000u);
    const std::vector<uint8_t> sweep = Pixels(WorkCanvas);

    // The 1001st sample, at column 1000, leaves no mark and hands over.
    EXPECT_EQ(ScopeStep(7), 0);
    EXPECT_EQ(headless::ShownPictures(), std::vector<int>{WorkCanvas});
    EXPECT_EQ(Pixels(LastFrame), sweep);
    EXPECT_TRUE(OffGrid(WorkCanvas).empty());
    EXPECT_EQ(Steps.ScopePrev, 7);

    // The next sweep begins at column 0, with no line from the previous value.
    EXPECT_EQ(ScopeStep(100), 1);
    EXPECT_EQ(OffGrid(WorkCanvas), std::vector<std::string>{"0,155"});
}

TEST_F(PlotSteps, PlotResetTouchesOnlyPlotStepsFieldsAndPicture) {
    ScopeStep(50);
    ScopeStep(60);
    PlotStep(10, PlotOnly);
    PlotStep(20, PlotOnly);
    const std::vector<uint8_t> last = Pixels(LastFrame);
    headless::ClearStatusCalls();
    headless::ClearShownPictures();

    PlotStep(123, PlotReset);

    EXPECT_EQ(Steps.PlotX, 0);
    EXPECT_EQ(Steps.PlotPrev, 0);
    EXPECT_EQ(Steps.PlotSamples, 0);
    EXPECT_EQ(Steps.PlotStatsTimer, 0u);
    EXPECT_EQ(Steps.ScopeX, 2);
    EXPECT_EQ(Steps.ScopePrev, 60);
    EXPECT_TRUE(OffGrid(WorkCanvas).empty());
    EXPECT_EQ(headless::ShownPictures(), std::vector<int>{WorkCanvas});
    EXPECT_EQ(Pixels(LastFrame), last);
    EXPECT_TRUE(headless::StatusCalls().empty());
}

TEST_F(PlotSteps, PlotStepShowsEverySampleAndTheEndOfASweepTwice) {
    PlotStep(-1, PlotReset);
    headless::ClearShownPictures();
    PlotStep(30, PlotOnly);
    // First sample after a reset: a single point in column 0, shown at once.
    EXPECT_EQ(OffGrid(WorkCanvas), std::vector<std::string>{"0,225"});
    EXPECT_EQ(Pixels(LastFrame), Pixels(WorkCanvas));
    EXPECT_EQ(headless::ShownPictures(), std::vector<int>{WorkCanvas});
    for (int i = 1; i < 1000; ++i) {
        PlotStep(30, PlotOnly);
    }
    EXPECT_EQ(Steps.PlotX, 1000);
    const std::vector<uint8_t> sweep = Pixels(WorkCanvas);
    EXPECT_EQ(TraceColumns(WorkCanvas).size(), 1000u);

    headless::ClearShownPictures();
    headless::TraceCanvas(true);
    PlotStep(200, PlotOnly); // column 1000: no mark
    const std::vector<std::string> twice = {"end", "copy 4 3", "show 4",   "begin 4",
                                            "end", "show 4",   "copy 4 3", "begin 4"};
    EXPECT_EQ(headless::CanvasTrace(), twice);
    EXPECT_EQ(Pixels(LastFrame), sweep);
    EXPECT_EQ(Steps.PlotX, 0);
    EXPECT_TRUE(OffGrid(WorkCanvas).empty());

    // The next sample shows a blank grid with one point in column 0.
    PlotStep(90, PlotOnly);
    EXPECT_EQ(ProbeShownPicture(), WorkCanvas);
    EXPECT_EQ(OffGrid(WorkCanvas), std::vector<std::string>{"0,165"});
}

TEST_F(PlotSteps, PlotOnlyNeverWritesTheStatusBar) {
    PlotStep(-1, PlotReset);
    headless::ClearStatusCalls();
    for (int i = 0; i < 5; ++i) {
        PlotStep(i, PlotOnly);
        headless::AdvanceTick(1500);
    }
    EXPECT_TRUE(headless::StatusCalls().empty());
    EXPECT_EQ(Steps.PlotSamples, 5);
}

// n samples, the last one at least 1000 ms after the previous update.
void PlotSamplesInOneSecond(int n) {
    PlotStep(-1, PlotReset);
    PlotStep(0, PlotWithStats); // the update at once after the reset
    for (int i = 1; i < n; ++i) {
        PlotStep(i % 256, PlotWithStats);
    }
    headless::AdvanceTick(1000);
    PlotStep(0, PlotWithStats);
}

TEST_F(PlotSteps, PlotFiguresForSomeRates) {
    const Figures cases[] = {
        {1, "800.00 s/FPS", "1 Werte/s", "50000.00 ms/DIV"},
        {3, "266.67 s/FPS", "3 Werte/s", "16666.67 ms/DIV"},
        {500, "1.60 s/FPS", "500 Werte/s", "100.00 ms/DIV"},
        {1000, "0.80 s/FPS", "1000 Werte/s", "50.00 ms/DIV"},
        {5000, "0.16 s/FPS", "5000 Werte/s", "10.00 ms/DIV"},
    };
    for (const Figures& c : cases) {
        SCOPED_TRACE(c.count);
        PlotSamplesInOneSecond(c.count);
        ExpectFigures(c);
        EXPECT_EQ(Steps.PlotSamples, 0);
    }
}

TEST_F(PlotSteps, PlotFiguresAreWrittenInTheirOrder) {
    PlotStep(-1, PlotReset);
    headless::ClearStatusCalls();
    PlotStep(9, PlotWithStats);
    const std::vector<std::string> calls = {"text 0 800.00 s/FPS 4", "text 1 1 Werte/s 4",
                                            "text 2 50000.00 ms/DIV 4", "progress 4 1 0 92160"};
    EXPECT_EQ(headless::StatusCalls(), calls);
    EXPECT_EQ(Steps.PlotStatsTimer, TickCount());
}

struct LoadMaximum {
    const char16_t* baud;
    int maximum;
};

// The bar's maximum is the baud text's value / 10, truncated toward zero and
// passed as its low 32 bits; it is the same for both kinds of figures.
const LoadMaximum LoadMaxima[] = {
    {u"921600", 92160}, {u"1843200", 184320}, {u"115200 Baud", 11520},
    {u"", 0},           {u"schnell", 0},      {u"9", 0},
    {u"-25", -2},       {u"$E1000", 92160},   {u"100000000000", 1410065408},
};

TEST_F(PlotSteps, PlotLoadBarMaximumComesFromTheBaudText) {
    for (const LoadMaximum& c : LoadMaxima) {
        SCOPED_TRACE(Utf8FromText(c.baud));
        SetControlText(BaudCombo, c.baud);
        PlotStep(-1, PlotReset);
        PlotStep(1, PlotWithStats);
        EXPECT_EQ(BarMaximum(), c.maximum);
    }
}

TEST_F(PlotSteps, ScopeLoadBarMaximumComesFromTheBaudText) {
    for (const LoadMaximum& c : LoadMaxima) {
        SCOPED_TRACE(Utf8FromText(c.baud));
        SetControlText(BaudCombo, c.baud);
        headless::AdvanceTick(1000);
        ScopeChunk({1});
        EXPECT_EQ(BarMaximum(), c.maximum);
    }
}

// Ticks at which a PlotReset happens: ordinary, just below 2^31, beyond it,
// and just before and after the wrap at 2^32.
const uint32_t ResetTicks[] = {5000u, 0x7FFFFE00u, 0x80000100u, 0xFFFFFE00u, 0x00000010u};

TEST_F(PlotSteps, PlotFiguresKeepTheirRhythmAtAnyUptime) {
    for (uint32_t start : ResetTicks) {
        SCOPED_TRACE(start);
        headless::SetTick(start);
        PlotStep(-1, PlotReset);
        headless::ClearStatusCalls();
        PlotStep(1, PlotWithStats);
        EXPECT_EQ(headless::StatusCalls().size(), 4u) << "update at once after the reset";
        for (int second = 1; second <= 3; ++second) {
            headless::ClearStatusCalls();
            for (uint32_t early : {1u, 999u}) {
                headless::SetTick(start + 1000u * (second - 1) + early);
                PlotStep(1, PlotWithStats);
            }
            EXPECT_TRUE(headless::StatusCalls().empty()) << "less than 1000 ms after an update";
            headless::SetTick(start + 1000u * second);
            PlotStep(1, PlotWithStats);
            EXPECT_EQ(Field(SampleRateField), "3 Werte/s") << "1000 ms after an update";
        }
    }
}

} // namespace
