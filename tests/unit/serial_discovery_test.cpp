// Port discovery at start-up: what the registry's serial device map turns
// into in PortList and PortCombo.
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

class Discovery : public ::testing::Test {
  protected:
    void SetUp() override { ResetFreshMachine(); }
    void TearDown() override { ShutDown(); }

    // Starts the program and returns PortCombo's items.
    std::vector<Text> Start() {
        StartUp();
        return ProbeControlItems(PortCombo);
    }
};

Text Blanks(size_t count) {
    return Text(count, u' ');
}

// ---- value data to list entry and item ------------------------------------------

struct ValueCase {
    const char16_t* data;
    bool listed;
    int32_t entry;
    const char16_t* item;
};

class ValueToItem : public Discovery, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueToItem, GivesEntryAndItem) {
    const ValueCase& c = GetParam();
    fake::AddStringValue(u"\\Device\\Serial0", c.data);
    std::vector<Text> items = Start();
    if (c.listed) {
        EXPECT_EQ(App.PortList, std::vector<int32_t>{c.entry});
        EXPECT_EQ(items, std::vector<Text>{c.item});
        EXPECT_EQ(ProbeControlCaption(PortCombo), c.item);
    } else {
        EXPECT_TRUE(App.PortList.empty());
        EXPECT_TRUE(items.empty());
        EXPECT_EQ(ProbeControlCaption(PortCombo), u"");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueToItem,
    ::testing::Values(ValueCase{u"COM3", true, 3, u"COM3"}, ValueCase{u"COM10", true, 10, u"COM10"},
                      ValueCase{u"com4", true, 4, u"COM4"}, ValueCase{u"cOm8", true, 8, u"COM8"},
                      ValueCase{u"COM007", true, 7, u"COM7"}, ValueCase{u"COM5A", true, 5, u"COM5"},
                      ValueCase{u"COM 6", true, 6, u"COM6"}, ValueCase{u"COM\t9", true, 9, u"COM9"},
                      ValueCase{u"COM", true, 0, u"COM0"},
                      ValueCase{u"COM1COM2", true, 12, u"COM12"},
                      ValueCase{u"COMcom3", true, 3, u"COM3"},
                      // One pass from the left: COMCCOMOM1 leaves COM1, which reads as 0.
                      ValueCase{u"COMCCOMOM1", true, 0, u"COM0"},
                      ValueCase{u"COM-5", true, -5, u"COM-5"},
                      // Only the low 32 bits of the number are kept.
                      ValueCase{u"COM4294967299", true, 3, u"COM3"},
                      ValueCase{u"COM2147483648", true, INT32_MIN, u"COM-2147483648"},
                      ValueCase{u"CNCA0", false, 0, u""}, ValueCase{u"CO", false, 0, u""},
                      ValueCase{u"", false, 0, u""}, ValueCase{u" COM1", false, 0, u""},
                      ValueCase{u"LPT1", false, 0, u""}));

// ---- the scan -----------------------------------------------------------------

TEST_F(Discovery, KeepsEnumerationOrderAndDuplicates) {
    fake::AddStringValue(u"\\Device\\Serial2", u"COM10");
    fake::AddStringValue(u"\\Device\\Serial0", u"COM3");
    fake::AddStringValue(u"\\Device\\VirtualA", u"COM3");
    fake::AddStringValue(u"\\Device\\Modem", u"CNCB0");
    fake::AddStringValue(u"\\Device\\Serial1", u"COM1");
    EXPECT_EQ(Start(), (std::vector<Text>{u"COM10", u"COM3", u"COM3", u"COM1"}));
    EXPECT_EQ(App.PortList, (std::vector<int32_t>{10, 3, 3, 1}));
    EXPECT_EQ(ProbeSelectedItem(PortCombo), 0);
    EXPECT_EQ(ControlText(PortCombo), u"COM10");
    EXPECT_EQ(fake::Registry().opens, 1);
    EXPECT_EQ(fake::Registry().closes, 1);
    EXPECT_FALSE(fake::Registry().callWhileClosed);
}

TEST_F(Discovery, EmptyValueNameEndsTheScan) {
    fake::AddStringValue(u"\\Device\\Serial0", u"COM1");
    fake::AddStringValue(u"", u"COM2");
    fake::AddStringValue(u"\\Device\\Serial2", u"COM3");
    EXPECT_EQ(Start(), std::vector<Text>{u"COM1"});
    EXPECT_EQ(fake::Registry().queryCalls, 1);
    EXPECT_EQ(fake::Registry().closes, 1);
}

TEST_F(Discovery, NameOf255CharactersEndsTheScanAnd254Fit) {
    fake::AddStringValue(Text(254, u'a'), u"COM1");
    fake::AddStringValue(Text(255, u'b'), u"COM2");
    fake::AddStringValue(u"\\Device\\Serial2", u"COM3");
    EXPECT_EQ(Start(), std::vector<Text>{u"COM1"});
    for (uint32_t capacity : fake::Registry().enumCapacities)
        EXPECT_EQ(capacity, 255u);
    EXPECT_EQ(fake::Registry().closes, 1);
}

TEST_F(Discovery, NameLongerThan255EndsTheScan) {
    fake::AddStringValue(Text(300, u'b'), u"COM2");
    fake::AddStringValue(u"\\Device\\Serial2", u"COM3");
    EXPECT_TRUE(Start().empty());
    EXPECT_EQ(fake::Registry().closes, 1);
}

TEST_F(Discovery, DataOver255BytesIsSkippedAndTheScanGoesOn) {
    // 126 characters and the terminator are 254 bytes and fit; 127 and the
    // terminator are 256 bytes and do not.
    fake::AddStringValue(u"fits", u"COM5" + Blanks(122));
    fake::AddStringValue(u"toolong", u"COM6" + Blanks(123));
    fake::AddValue(u"binary256", fake::TypeBinary,
                   fake::TextBytes(u"COM7" + Blanks(123) + u"x")); // 256 bytes
    fake::AddStringValue(u"after", u"COM8");
    EXPECT_EQ(Start(), (std::vector<Text>{u"COM5", u"COM8"}));
    for (uint32_t capacity : fake::Registry().queryCapacities)
        EXPECT_EQ(capacity, 255u);
}

TEST_F(Discovery, OddSizedDataOf255BytesIsRead) {
    std::vector<uint8_t> data = fake::TextBytes(u"COM9" + Blanks(123)); // 254 bytes
    data.push_back('7');                                                // 255th byte
    fake::AddValue(u"odd", fake::TypeBinary, data);
    EXPECT_EQ(Start(), std::vector<Text>{u"COM9"});
}

TEST_F(Discovery, MissingKeyLeavesPortComboEmpty) {
    fake::SetKeyMissing(true);
    fake::AddStringValue(u"\\Device\\Serial0", u"COM1");
    EXPECT_TRUE(Start().empty());
    EXPECT_TRUE(App.PortList.empty());
    EXPECT_EQ(ControlText(PortCombo), u"");
    EXPECT_EQ(ProbeSelectedItem(PortCombo), -1);
    EXPECT_EQ(fake::Registry().enumCalls, 0);
    EXPECT_EQ(fake::Registry().closes, 0);
}

TEST_F(Discovery, NonStringDataIsReadAsTextOnlyAsFarAsReturned) {
    // The work text still holds the value's name behind the data: "xxxx77"
    // under "COM1" would read as COM177, and "xxM9" under "CO" as COM9.
    fake::AddValue(u"xxxx77", fake::TypeBinary, fake::TextBytes(u"COM1"));
    fake::AddValue(u"xxM9", fake::TypeDword, fake::TextBytes(u"CO"));
    fake::AddValue(u"dword", fake::TypeDword, {'C', 0, 'O', 0});
    fake::AddValue(u"xxxx5", fake::TypeBinary, fake::TextBytes(u"com2"));
    EXPECT_EQ(Start(), (std::vector<Text>{u"COM1", u"COM2"}));
}

TEST_F(Discovery, TextEndsAtItsFirstNul) {
    fake::AddValue(u"\\Device\\Serial0", fake::TypeString,
                   fake::TextBytes(Text(u"COM3\0COM4", 9) + Text(1, u'\0')));
    fake::AddValue(u"\\Device\\Serial1", fake::TypeString, fake::TextBytes(Text(u"\0COM4", 5)));
    EXPECT_EQ(Start(), std::vector<Text>{u"COM3"});
}

TEST_F(Discovery, NoPortsStillRunsAndConnectingFails) {
    EXPECT_TRUE(Start().empty());
    EXPECT_EQ(fake::Registry().closes, 1);
    ProbeClick(ConnectButton);
    RunPass();
    RunPass();
    EXPECT_EQ(fake::Port().openCalls, 1);
    EXPECT_EQ(fake::Port().openName, u"");
    EXPECT_EQ(ControlState(ConnectButton), 0);
    EXPECT_EQ(App.Connected, 0);
}

} // namespace
