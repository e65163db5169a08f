// The serial link driven pass by pass through the headless back end and the
// fake port: connecting and disconnecting, failed opens, the rate read from
// BaudCombo, chunks in RxBuffer, the hand-over to the plot modes, and what
// happens when the port or a read fails.
#include "fake_serial.h"
#include "fresh_machine.h"

#include "app/app.h"
#include "app/toolkit/headless.h"
#include "app/toolkit/probe.h"
#include "serial/serial.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::string> IdleStatusCalls = {"text 0 0 FPS 4", "text 1 0 Werte/s 4",
                                                  "text 2 0 ms/DIV 4", "text 3 COM-Auslastung:  10",
                                                  "progress 4 0 0 10"};

std::vector<uint8_t> Ramp(size_t count, uint8_t first) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

class Link : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFreshMachine();
        AddWorkingPort(u"\\Device\\Serial0", u"COM3");
        AddWorkingPort(u"\\Device\\Serial1", u"COM7");
        StartUp();
    }
    void TearDown() override {
        if (!shutDown)
            ShutDown();
    }

    bool shutDown = false;

    void Passes(int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(RunPass());
    }
    // The user clicks ConnectButton; the click is taken at the end of one
    // pass, and the next pass acts on it.
    void ClickConnect() {
        ProbeClick(ConnectButton);
        Passes(1);
    }
    void Connect() {
        ClickConnect();
        Passes(1);
        ASSERT_EQ(App.Connected, 1);
    }
    std::vector<uint8_t> Buffer(size_t from, size_t to) const {
        return std::vector<uint8_t>(App.RxBuffer.begin() + static_cast<std::ptrdiff_t>(from),
                                    App.RxBuffer.begin() + static_cast<std::ptrdiff_t>(to));
    }
};

// ---- connecting and disconnecting ---------------------------------------------------

TEST_F(Link, ConnectOpensTheChosenPortAndPollsInTheSamePass) {
    fake::QueueBytes({7, 8, 9});
    ClickConnect();
    EXPECT_EQ(fake::Port().openCalls, 0);
    headless::ClearStatusCalls();
    headless::ClearDelays();
    Passes(1);

    EXPECT_EQ(fake::Port().openCalls, 1);
    EXPECT_EQ(fake::Port().openName, u"COM3");
    EXPECT_EQ(fake::Port().openBaud, 921600);
    EXPECT_EQ(App.PortName, u"COM3");
    EXPECT_EQ(App.LinkBaud, 921600);
    EXPECT_NE(App.OpenResult, 0);
    EXPECT_EQ(App.Connected, 1);
    // The bytes already waiting are read in the pass that opened the port.
    EXPECT_EQ(App.AvailableCount, 3u);
    EXPECT_EQ(Buffer(0, 3), (std::vector<uint8_t>{7, 8, 9}));
    EXPECT_TRUE(headless::Delays().empty());
    for (const std::string& call : headless::StatusCalls())
        EXPECT_NE(call, IdleStatusCalls.front()); // connecting shows no idle status

    EXPECT_EQ(ControlState(ConnectButton), 1);
    EXPECT_EQ(ProbeControlCaption(ConnectButton), u"Trennen");
    EXPECT_FALSE(ProbeControlEnabled(PortCombo));
    EXPECT_FALSE(ProbeControlEnabled(BaudCombo));

    // Further passes with the button down open nothing more.
    Passes(20);
    EXPECT_EQ(fake::Port().openCalls, 1);
    EXPECT_FALSE(fake::Port().openWhileOpen);
}

TEST_F(Link, TheOtherListedPortCanBeChosen) {
    ProbePickItem(PortCombo, 1);
    Passes(1);
    Connect();
    EXPECT_EQ(fake::Port().openName, u"COM7");
}

TEST_F(Link, DisconnectClosesShowsIdleStatusAndSleeps) {
    Connect();
    fake::QueueBytes(Ramp(40, 1));
    Passes(1);
    ClickConnect();
    EXPECT_EQ(fake::Port().closeCalls, 0);
    fake::QueueBytes({200, 201});
    headless::ClearStatusCalls();
    headless::ClearDelays();
    int readsBefore = fake::Port().readCalls;
    Passes(1);

    EXPECT_EQ(fake::Port().closeCalls, 1);
    EXPECT_FALSE(fake::Port().open);
    EXPECT_EQ(App.Connected, 0);
    EXPECT_EQ(headless::StatusCalls(), IdleStatusCalls);
    EXPECT_EQ(ProbeStatusText(FrameRateField), u"0 FPS");
    EXPECT_EQ(ProbeStatusText(SampleRateField), u"0 Werte/s");
    // The pass that closes already sleeps, and bytes still waiting are not read.
    EXPECT_EQ(headless::Delays(), std::vector<int>{3});
    EXPECT_EQ(fake::Port().readCalls, readsBefore);
    EXPECT_EQ(fake::QueuedBytes(), 2u);

    EXPECT_EQ(ProbeControlCaption(ConnectButton), u"Verbinden");
    EXPECT_TRUE(ProbeControlEnabled(PortCombo));
    EXPECT_TRUE(ProbeControlEnabled(BaudCombo));

    // And the link can be opened again.
    Connect();
    EXPECT_EQ(fake::Port().openCalls, 2);
}

TEST_F(Link, ClosingTheWindowWhileConnectedClosesThePortWithoutIdleStatus) {
    Connect();
    headless::ClearStatusCalls();
    ProbeRequestClose(MainWindow);
    EXPECT_FALSE(RunPass());
    ShutDown();
    shutDown = true;
    EXPECT_EQ(fake::Port().closeCalls, 1);
    EXPECT_FALSE(fake::Port().open);
    EXPECT_TRUE(headless::StatusCalls().empty());
}

// ---- failed opens -------------------------------------------------------------------

struct FailedOpenCase {
    const char* what;
    Text typed;
};

class FailedOpen : public Link, public ::testing::WithParamInterface<FailedOpenCase> {};

TEST_P(FailedOpen, ReleasesTheButtonAndStaysDisconnected) {
    fake::AddBusyDevice(u"COM7");
    ProbeTypeText(PortCombo, GetParam().typed);
    Passes(1);
    ClickConnect();
    headless::ClearStatusCalls();
    headless::ClearDelays();
    Passes(1);

    EXPECT_EQ(fake::Port().openCalls, 1);
    EXPECT_EQ(fake::Port().openName, GetParam().typed);
    EXPECT_EQ(App.OpenResult, 0);
    EXPECT_EQ(App.Connected, 0);
    EXPECT_EQ(ControlState(ConnectButton), 0);
    EXPECT_TRUE(headless::StatusCalls().empty());
    EXPECT_EQ(headless::Delays(), std::vector<int>{3});
    EXPECT_EQ(fake::Port().waitingCalls, 0);
    // One pass later the button says "Verbinden" again and no new open is tried.
    Passes(1);
    EXPECT_EQ(ProbeControlCaption(ConnectButton), u"Verbinden");
    EXPECT_TRUE(ProbeControlEnabled(PortCombo));
    EXPECT_EQ(fake::Port().openCalls, 1);
}

INSTANTIATE_TEST_SUITE_P(Names, FailedOpen,
                         ::testing::Values(FailedOpenCase{"empty", u""},
                                           FailedOpenCase{"unknown", u"COM99"},
                                           FailedOpenCase{"busy", u"COM7"},
                                           FailedOpenCase{"leadingBlank", u" COM3"}),
                         [](const ::testing::TestParamInfo<FailedOpenCase>& info) {
                             return std::string(info.param.what);
                         });

TEST_F(Link, DriverRefusingTheOpenReleasesTheButtonAndTheNextTryWorks) {
    fake::ScriptOpenResults({0});
    ClickConnect();
    Passes(1);
    EXPECT_EQ(ControlState(ConnectButton), 0);
    EXPECT_EQ(App.Connected, 0);
    Connect();
    EXPECT_EQ(fake::Port().openCalls, 2);
}

// ---- the port name and the rate as read at connect ---------------------------------

TEST_F(Link, DevicePathUsesTheFirst59Characters) {
    Text name59 = u"COM7" + Text(55, u'x');
    EXPECT_EQ(DevicePath(u"COM7"), u"\\\\.\\COM7");
    EXPECT_EQ(DevicePath(u""), u"\\\\.\\");
    EXPECT_EQ(DevicePath(u" COM3"), u"\\\\.\\ COM3");
    EXPECT_EQ(DevicePath(name59), u"\\\\.\\" + name59);
    EXPECT_EQ(DevicePath(name59 + u"yz"), u"\\\\.\\" + name59);
    EXPECT_EQ(DevicePath(name59 + u"yz").size(), 63u);
}

TEST_F(Link, PortNameIsTakenAsTyped) {
    Text typed = u"COM3" + Text(70, u'z');
    fake::AddDevice(typed);
    ProbeTypeText(PortCombo, typed);
    Passes(1);
    Connect();
    EXPECT_EQ(App.PortName, typed);
    EXPECT_EQ(fake::Port().openName, typed);
}

struct BaudCase {
    Text text;
    int32_t rate;
};

class BaudText : public Link, public ::testing::WithParamInterface<BaudCase> {};

TEST_P(BaudText, GivesTheRatePassedToOpen) {
    ProbeTypeText(BaudCombo, GetParam().text);
    Passes(1);
    Connect();
    EXPECT_EQ(App.LinkBaud, GetParam().rate);
    EXPECT_EQ(fake::Port().openBaud, GetParam().rate);
}

INSTANTIATE_TEST_SUITE_P(Texts, BaudText,
                         ::testing::Values(BaudCase{u"115200 more", 115200}, BaudCase{u"", 0},
                                           BaudCase{u"abc", 0}, BaudCase{u" \t9600", 9600},
                                           BaudCase{u"$E1000", 921600}, BaudCase{u"4294967296", 0},
                                           BaudCase{u"4295888896", 921600},
                                           BaudCase{u"2147483648", INT32_MIN}, BaudCase{u"-1", -1},
                                           BaudCase{u"99999999999", 1215752191}));

// ---- chunks -------------------------------------------------------------------------

TEST_F(Link, EachChunkLandsAtTheStartOfRxBufferAndOlderBytesStayBehindIt) {
    Connect();
    EXPECT_TRUE(Buffer(0, RxBufferSize) == std::vector<uint8_t>(RxBufferSize, 0));
    fake::QueueBytes(Ramp(50, 1));
    Passes(1);
    EXPECT_EQ(App.AvailableCount, 50u);
    EXPECT_EQ(Buffer(0, 50), Ramp(50, 1));

    fake::QueueBytes(Ramp(10, 200));
    Passes(1);
    EXPECT_EQ(App.AvailableCount, 10u);
    EXPECT_EQ(Buffer(0, 10), Ramp(10, 200));
    EXPECT_EQ(Buffer(10, 50), Ramp(40, 11));
    EXPECT_EQ(Buffer(50, 60), std::vector<uint8_t>(10, 0));
    EXPECT_EQ(fake::QueuedBytes(), 0u);
    EXPECT_EQ(fake::Port().readCounts, (std::vector<uint32_t>{50, 10}));
}

TEST_F(Link, ConnectedAndIdleEveryPassPollsOnceAndNeverSleeps) {
    Connect();
    headless::ClearDelays();
    int polls = fake::Port().waitingCalls;
    int events = headless::PollEventCalls();
    Passes(100);
    EXPECT_TRUE(headless::Delays().empty());
    EXPECT_EQ(fake::Port().waitingCalls - polls, 100);
    EXPECT_EQ(headless::PollEventCalls() - events, 100);
    EXPECT_EQ(fake::Port().readCalls, 0);
    EXPECT_EQ(App.AvailableCount, 0u);
}

TEST_F(Link, DisconnectedEveryPassSleeps3msAndNeverPolls) {
    headless::ClearDelays();
    Passes(10);
    EXPECT_EQ(headless::Delays(), std::vector<int>(10, 3));
    EXPECT_EQ(fake::Port().waitingCalls, 0);
    EXPECT_EQ(fake::Port().readCalls, 0);
}

TEST_F(Link, ScopeModeGetsEveryByteOfTheChunk) {
    Connect();
    fake::QueueBytes({10, 20, 30, 40});
    int32_t before = App.ByteTotal;
    Passes(1);
    EXPECT_EQ(App.ByteTotal - before, 4);
    EXPECT_EQ(App.SampleByte, 40);
    EXPECT_EQ(App.LastModeText, u"Oszilloskop");
}

TEST_F(Link, OtherModesGetTheChunkThroughThePlotHandler) {
    ProbePickItem(ModeCombo, 1); // "schneller Plot"
    Passes(1);
    Connect();
    fake::QueueBytes({10, 20, 30, 40});
    int32_t before = App.ByteTotal;
    Passes(1);
    EXPECT_EQ(App.ByteTotal, before);
    EXPECT_EQ(App.SampleByte, 10);
    EXPECT_EQ(App.LastModeText, u"schneller Plot");
}

TEST_F(Link, NoHandlerRunsWhenNothingWaits) {
    Connect();
    Passes(5);
    EXPECT_EQ(App.LastModeText, u"");
    EXPECT_EQ(App.ByteTotal, 0);
}

// ---- the faults the link guards against ---------------------------------------------

TEST_F(Link, AReadNeverAsksForMoreThanRxBufferHolds) {
    Connect();
    std::vector<uint8_t> bytes(150000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    fake::QueueBytes(bytes);
    Passes(1);
    EXPECT_EQ(fake::Port().readCounts.back(), static_cast<uint32_t>(RxBufferSize));
    EXPECT_EQ(App.AvailableCount, static_cast<uint32_t>(RxBufferSize));
    EXPECT_EQ(App.RxBuffer.size(), static_cast<size_t>(RxBufferSize));
    EXPECT_TRUE(Buffer(0, RxBufferSize) ==
                std::vector<uint8_t>(bytes.begin(), bytes.begin() + RxBufferSize));
    EXPECT_EQ(fake::QueuedBytes(), 50000u);

    Passes(1);
    EXPECT_EQ(App.AvailableCount, 50000u);
    EXPECT_TRUE(Buffer(0, 50000) ==
                std::vector<uint8_t>(bytes.begin() + RxBufferSize, bytes.end()));
    EXPECT_EQ(fake::QueuedBytes(), 0u);
}

TEST_F(Link, LostPortClosesTheLinkAndReleasesTheButton) {
    Connect();
    fake::QueueBytes({1, 2, 3});
    fake::FailStatus(true);
    headless::ClearStatusCalls();
    headless::ClearDelays();
    Passes(1);

    EXPECT_EQ(fake::Port().closeCalls, 1);
    EXPECT_FALSE(fake::Port().open);
    EXPECT_EQ(App.Connected, 0);
    EXPECT_EQ(ControlState(ConnectButton), 0);
    EXPECT_EQ(headless::StatusCalls(), IdleStatusCalls);
    EXPECT_EQ(fake::Port().readCalls, 0);
    EXPECT_NE(App.AvailableCount, PortLost);
    EXPECT_EQ(App.LastModeText, u"");
    EXPECT_EQ(headless::Delays(), std::vector<int>{3});

    // The dead handle is asked no more; the loop sleeps as when disconnected.
    int polls = fake::Port().waitingCalls;
    Passes(5);
    EXPECT_EQ(fake::Port().waitingCalls, polls);
    EXPECT_EQ(headless::Delays(), std::vector<int>(6, 3));
    EXPECT_EQ(ProbeControlCaption(ConnectButton), u"Verbinden");
    EXPECT_TRUE(ProbeControlEnabled(PortCombo));

    // When the device is back, the user connects again.
    fake::FailStatus(false);
    Connect();
    EXPECT_EQ(fake::Port().openCalls, 2);
    EXPECT_EQ(App.AvailableCount, 3u);
}

TEST_F(Link, ShortReadHandsOnOnlyTheBytesRead) {
    Connect();
    fake::LimitReads(4);
    fake::QueueBytes(Ramp(10, 100));
    Passes(1);
    EXPECT_EQ(fake::Port().readCounts.back(), 10u);
    EXPECT_EQ(App.AvailableCount, 4u);
    EXPECT_EQ(App.ByteTotal, 4);
    EXPECT_EQ(App.SampleByte, 103);
    EXPECT_EQ(fake::QueuedBytes(), 6u);

    fake::LimitReads(-1);
    Passes(1);
    EXPECT_EQ(App.AvailableCount, 6u);
    EXPECT_EQ(App.ByteTotal, 10);
    EXPECT_EQ(Buffer(0, 6), Ramp(6, 104));
}

TEST_F(Link, FailedReadHandsOnNothingAndTheLinkStaysOpen) {
    Connect();
    fake::FailReads(true);
    fake::QueueBytes(Ramp(10, 100));
    headless::ClearDelays();
    Passes(1);
    EXPECT_EQ(fake::Port().readCalls, 1);
    EXPECT_EQ(App.AvailableCount, 0u);
    EXPECT_EQ(App.LastModeText, u"");
    EXPECT_EQ(App.ByteTotal, 0);
    EXPECT_EQ(Buffer(0, 10), std::vector<uint8_t>(10, 0));
    EXPECT_TRUE(headless::Delays().empty());
    EXPECT_EQ(App.Connected, 1);

    fake::FailReads(false);
    Passes(1);
    EXPECT_EQ(App.AvailableCount, 10u);
    EXPECT_EQ(App.ByteTotal, 10);
}

} // namespace
