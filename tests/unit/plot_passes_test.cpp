// The plot modes driven pass by pass: the fake serial port delivers the
// bytes, PollLink hands each chunk to the mode shown in ModeCombo.
#include "fresh_machine.h"
#include "plot_fixture.h"

namespace {

class PlotPasses : public PlotProgram {
  protected:
    void SetUp() override {
        ResetFreshMachine();
        AddWorkingPort(u"\\Device\\Serial0", u"COM3");
        Steps = PlotStepState();
        StartUp();
        // The user presses ConnectButton; the next pass opens the link.
        ProbeClick(ConnectButton);
        RunPass();
        RunPass();
        ASSERT_EQ(App.Connected, 1);
    }
    // Runs passes until the port has nothing more to read.
    static void Drain() {
        for (int pass = 0; pass < 1000 && fake::QueuedBytes() > 0; ++pass) {
            RunPass();
        }
    }
};

TEST_F(PlotPasses, OscilloscopeTriggersOnAnEdgeSplitBetweenTwoReads) {
    ProbeTypeText(TriggerCombo, u"128");
    RunPass();
    // The first sweep runs at once; it ends on 128, and the rising edge to
    // 200 is split between two reads of the driver's queue.
    std::vector<uint8_t> stream(1000, 50);
    stream.push_back(128);
    stream.push_back(200);
    stream.push_back(201);
    fake::LimitReads(1001);
    fake::QueueBytes(stream);
    RunPass();
    ASSERT_EQ(App.AvailableCount, 1001u);
    EXPECT_EQ(App.TriggerArmed, 0);
    RunPass();
    EXPECT_EQ(App.AvailableCount, 2u);
    EXPECT_EQ(Steps.ScopeX, 2);
    EXPECT_EQ(Steps.ScopePrev, 201);
    EXPECT_EQ(TraceRows(WorkCanvas, 0), std::vector<int>{55});
}

TEST_F(PlotPasses, OscilloscopeShowsWholeSweepsOnly) {
    headless::ClearShownPictures();
    fake::QueueBytes(std::vector<uint8_t>(1500, 100));
    Drain();
    // The reset at the first chunk, then one finished sweep.
    EXPECT_EQ(headless::ShownPictures(), (std::vector<int>{WorkCanvas, WorkCanvas}));
    EXPECT_EQ(TraceColumns(LastFrame).size(), 1000u);
    EXPECT_EQ(Steps.ScopeX, 499);
}

TEST_F(PlotPasses, FastPlotTakesOneSampleAPass) {
    ProbePickItem(ModeCombo, 1);
    RunPass();
    ASSERT_EQ(Utf8FromText(ControlText(ModeCombo)), "schneller Plot");
    fake::LimitReads(100);
    fake::QueueBytes(std::vector<uint8_t>(300, 128));
    Drain();
    EXPECT_EQ(Steps.PlotX, 3);
    EXPECT_EQ(TraceColumns(WorkCanvas), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ProbeShownPicture(), WorkCanvas);
}

TEST_F(PlotPasses, TimedModeSleepsAfterEveryChunkAndNotOnEmptyPasses) {
    ProbePickItem(ModeCombo, 5); // "Plot (1.0s)"
    RunPass();
    headless::ClearDelays();
    for (int i = 0; i < 3; ++i) {
        fake::QueueBytes({7});
        RunPass();
    }
    RunPass();
    RunPass();
    EXPECT_EQ(headless::Delays(), (std::vector<int>{10, 10, 10}));
}

} // namespace
