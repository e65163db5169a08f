// The program's spine driven pass by pass through the headless back end:
// start-up, the window and its controls, the control rules, the loop and
// shutdown.
#include "app/app.h"
#include "app/toolkit/headless.h"
#include "app/toolkit/probe.h"
#include "fake_serial.h"
#include "fresh_machine.h"
#include "plot/plot.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Show(const Text& text) {
    return Utf8FromText(text);
}

class Program : public ::testing::Test {
  protected:
    void SetUp() override { ResetFreshMachine(); }
    void TearDown() override { EXPECT_EQ(PictureRuleBreaks(), 0); }

    static void ExpectIdleStatus() {
        EXPECT_EQ(Show(ProbeStatusText(FrameRateField)), "0 FPS");
        EXPECT_EQ(ProbeStatusFlags(FrameRateField), 4);
        EXPECT_EQ(Show(ProbeStatusText(SampleRateField)), "0 Werte/s");
        EXPECT_EQ(ProbeStatusFlags(SampleRateField), 4);
        EXPECT_EQ(Show(ProbeStatusText(TimeBaseField)), "0 ms/DIV");
        EXPECT_EQ(ProbeStatusFlags(TimeBaseField), 4);
        EXPECT_EQ(Show(ProbeStatusText(LoadLabelField)), "COM-Auslastung: ");
        EXPECT_EQ(ProbeStatusFlags(LoadLabelField), 10);
        int value = -1, minimum = -1, maximum = -1;
        ProbeStatusProgress(LoadBarField, &value, &minimum, &maximum);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(minimum, 0);
        EXPECT_EQ(maximum, 10);
    }
};

TEST_F(Program, StartUpBuildsTheWindowAndItsControls) {
    fake::AddStringValue(u"\\Device\\Serial0", u"COM3");
    fake::AddStringValue(u"\\Device\\Serial1", u"COM10");
    StartUp();

    EXPECT_EQ(Show(ProbeWindowTitle(MainWindow)), "Kurvomat - 1.0.0.1");
    int width = 0, height = 0;
    ProbeClientSize(MainWindow, &width, &height);
    EXPECT_EQ(width, 1000);
    EXPECT_EQ(height, 279);
    EXPECT_EQ(ProbeStatusFieldEdges(), (std::vector<int>{70, 170, 270, 390, 470}));
    ExpectIdleStatus();

    struct Expected {
        int control;
        ControlKind kind;
        int x, width;
        const char* text;
        const char* toolTip;
    } controls[] = {
        {PortCombo, EditableCombo, 480, 70, "COM3", "verfügbare COM-Ports"},
        {BaudCombo, EditableCombo, 560, 70, "921600", "Baudrate"},
        {ConnectButton, ToggleButton, 640, 70, "Verbinden", "Verbindung mit COM-Gerät herstellen"},
        {ModeCombo, DropDownList, 720, 110, "Oszilloskop", "Plottmodus"},
        {TriggerCombo, EditableCombo, 840, 50, "aus", "Triggerschwelle"},
        {PauseButton, ToggleButton, 900, 50, "Pause", "Plottvorgang pausieren"},
        {InfoButton, ToggleButton, 955, 40, "Info", "Informationen"},
    };
    for (const Expected& e : controls) {
        SCOPED_TRACE(e.control);
        int x = 0, y = 0, w = 0, h = 0;
        ProbeControlRect(e.control, &x, &y, &w, &h);
        EXPECT_EQ(x, e.x);
        EXPECT_EQ(y, 3);
        EXPECT_EQ(w, e.width);
        EXPECT_EQ(h, 18);
        EXPECT_EQ(ProbeControlKind(e.control), e.kind);
        EXPECT_EQ(ProbeControlParent(e.control), StatusBar);
        EXPECT_EQ(Show(ProbeControlCaption(e.control)), e.text);
        EXPECT_EQ(Show(ProbeToolTip(e.control)), e.toolTip);
        EXPECT_TRUE(ProbeControlEnabled(e.control));
    }
    EXPECT_EQ(ControlState(ConnectButton), 0);
    EXPECT_EQ(ControlState(PauseButton), 0);
    EXPECT_EQ(ControlState(InfoButton), 0);

    EXPECT_EQ(ProbeControlItems(PortCombo), (std::vector<Text>{u"COM3", u"COM10"}));
    EXPECT_EQ(ProbeSelectedItem(PortCombo), 0);

    std::vector<Text> bauds;
    for (const char16_t* b :
         {u"100",    u"110",    u"300",    u"600",    u"1200",   u"2400",   u"4800",   u"7200",
          u"9600",   u"14400",  u"19200",  u"28800",  u"38400",  u"43000",  u"56000",  u"57600",
          u"115200", u"128000", u"230400", u"250000", u"256000", u"460800", u"921600", u"1843200"})
        bauds.push_back(b);
    EXPECT_EQ(ProbeControlItems(BaudCombo), bauds);
    EXPECT_EQ(ProbeSelectedItem(BaudCombo), -1) << "the edit text selects no item";

    EXPECT_EQ(ProbeControlItems(ModeCombo),
              (std::vector<Text>{u"Oszilloskop", u"schneller Plot", u"Plot (0.01s)", u"Plot (0.1s)",
                                 u"Plot (0.5s)", u"Plot (1.0s)", u"Plot (2.0s)", u"Plot (5.0s)"}));
    EXPECT_EQ(ProbeSelectedItem(ModeCombo), 0);

    std::vector<Text> triggers = ProbeControlItems(TriggerCombo);
    ASSERT_EQ(triggers.size(), 257u);
    EXPECT_EQ(Show(triggers[0]), "aus");
    for (int t = 0; t <= 255; ++t)
        ASSERT_EQ(triggers[static_cast<size_t>(t) + 1], IntText(t));
    EXPECT_EQ(ProbeSelectedItem(TriggerCombo), -1);

    // The record's start values.
    EXPECT_EQ(App.RxBuffer.size(), 100000u);
    EXPECT_EQ(App.RxBuffer[0], 0);
    EXPECT_EQ(App.RxBuffer[99999], 0);
    EXPECT_EQ(App.Connected, 0);
    EXPECT_EQ(App.TriggerArmed, 1);
    EXPECT_EQ(App.SweepPos, 0);
    EXPECT_TRUE(App.LastModeText.empty());
    EXPECT_EQ(App.StatsTimer, TickCount());
    EXPECT_EQ(App.RefreshTimer, TickCount());
    EXPECT_EQ(App.ByteTotal, 0);
    EXPECT_EQ(App.PortList, (std::vector<int32_t>{3, 10}));

    // The blank grid is on screen and WorkCanvas is left open for drawing.
    EXPECT_EQ(ProbeShownPicture(), LastFrame);
    EXPECT_EQ(PictureOpenForDrawing(), WorkCanvas);
    ShutDown();
}

TEST_F(Program, StartUpWithoutPortsLeavesThePortComboEmpty) {
    fake::SetKeyMissing(true);
    StartUp();
    EXPECT_TRUE(ProbeControlItems(PortCombo).empty());
    EXPECT_EQ(Show(ControlText(PortCombo)), "");
    EXPECT_TRUE(App.PortList.empty());

    // Connecting with the empty name fails and the button comes up again.
    ProbeClick(ConnectButton);
    EXPECT_TRUE(RunPass()); // the click is taken at the end of this pass
    EXPECT_TRUE(RunPass()); // rules show "Trennen", the open fails
    EXPECT_EQ(Show(ProbeControlCaption(ConnectButton)), "Trennen");
    EXPECT_FALSE(ProbeControlEnabled(PortCombo));
    EXPECT_EQ(ControlState(ConnectButton), 0);
    EXPECT_EQ(App.Connected, 0);
    EXPECT_TRUE(RunPass());
    EXPECT_EQ(Show(ProbeControlCaption(ConnectButton)), "Verbinden");
    EXPECT_TRUE(ProbeControlEnabled(PortCombo));
    EXPECT_TRUE(ProbeControlEnabled(BaudCombo));
    ShutDown();
}

TEST_F(Program, ControlRulesFollowTheConnectButtonAndTheMode) {
    StartUp();
    struct Step {
        int pick; // mode item
        bool triggerEnabled;
    } steps[] = {
        {1, false}, // "schneller Plot" disables TriggerCombo
        {7, false}, // "Plot (5.0s)" too
        {0, true},  // back to "Oszilloskop"
    };
    for (const Step& s : steps) {
        ProbePickItem(ModeCombo, s.pick);
        RunPass();
        RunPass();
        EXPECT_EQ(ProbeControlEnabled(TriggerCombo), s.triggerEnabled) << s.pick;
        EXPECT_TRUE(ProbeControlEnabled(ModeCombo));
    }
    // Texts typed into the editable combos stay as typed.
    ProbeTypeText(BaudCombo, u"115200 mehr");
    ProbeTypeText(TriggerCombo, u"$80");
    RunPass();
    RunPass();
    EXPECT_EQ(Show(ControlText(BaudCombo)), "115200 mehr");
    EXPECT_EQ(Show(ControlText(TriggerCombo)), "$80");
    EXPECT_EQ(ProbeControlItems(BaudCombo).size(), 24u);
    ShutDown();
}

TEST_F(Program, EveryPassAppliesTheRulesAndTakesOneEvent) {
    StartUp();
    int before = headless::PollEventCalls();
    headless::ClearStatusCalls();
    for (int i = 0; i < 5; ++i)
        RunPass();
    EXPECT_EQ(headless::PollEventCalls() - before, 5);
    // Not connected: every pass sleeps 3 ms and nothing else.
    EXPECT_EQ(headless::Delays(), (std::vector<int>{3, 3, 3, 3, 3}));

    // Two user actions queued take two passes.
    ProbeClick(PauseButton);
    ProbeClick(InfoButton);
    headless::onMessage = [](const headless::Message&) {};
    RunPass();
    EXPECT_EQ(ControlState(PauseButton), 1);
    EXPECT_EQ(ControlState(InfoButton), 0);
    RunPass();
    EXPECT_EQ(ControlState(InfoButton), 1);
    ShutDown();
}

TEST_F(Program, CloseRequestEndsTheLoopAfterThePassCompletes) {
    AddWorkingPort(u"\\Device\\Serial0", u"COM7");
    StartUp();
    ProbeClick(ConnectButton);
    RunPass();
    RunPass();
    ASSERT_EQ(App.Connected, 1);
    fake::QueueBytes({1, 2, 3});
    ProbeRequestClose(MainWindow);
    EXPECT_FALSE(RunPass()) << "the pass that takes the close request ends the loop";
    EXPECT_EQ(fake::QueuedBytes(), 0u) << "its earlier blocks ran first";
    EXPECT_EQ(Show(ProbeWindowTitle(MainWindow)), "Kurvomat - 1.0.0.1") << "window still open";
    headless::ClearStatusCalls();
    ShutDown();
    EXPECT_FALSE(fake::Port().open) << "shutdown closes the port";
    EXPECT_EQ(fake::Port().closeCalls, 1);
    EXPECT_TRUE(headless::StatusCalls().empty()) << "no idle status at exit";
}

TEST_F(Program, RunProgramEndsWithExitCodeZero) {
    int passes = 0;
    headless::onPollEvent = [&passes] {
        if (++passes == 3)
            ProbeRequestClose(MainWindow);
    };
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(passes, 3);
}

TEST_F(Program, AMissingStatusBarTakesNoFields) {
    headless::FailStatusBar(true);
    StartUp();
    EXPECT_TRUE(ProbeStatusFieldEdges().empty());
    EXPECT_EQ(Show(ProbeStatusText(FrameRateField)), "");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(RunPass()) << "the loop runs regardless";
    ShutDown();
}

} // namespace
