// Port discovery on Linux against a tree of device files and links laid out
// in a temporary directory, as /dev, /sys and /proc would show them.
#include "serial/serial.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class DeviceList : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kurvomat-devices-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path At(const std::string& systemPath) const {
        return root / fs::path(systemPath).relative_path();
    }
    // A device node; a plain file does for the discovery.
    void Device(const std::string& systemPath) {
        fs::create_directories(At(systemPath).parent_path());
        std::ofstream(At(systemPath)) << "";
    }
    void Link(const std::string& systemPath, const std::string& target) {
        fs::create_directories(At(systemPath).parent_path());
        fs::create_symlink(target, At(systemPath));
    }
    void File(const std::string& systemPath, const std::string& text) {
        fs::create_directories(At(systemPath).parent_path());
        std::ofstream(At(systemPath)) << text;
    }
    void Process(int pid) { fs::create_directories(At("/proc/" + std::to_string(pid))); }
    std::vector<std::string> List() const { return ListSerialDevices(root.string()); }

    fs::path root;
};

TEST_F(DeviceList, EmptySystemHasNoPorts) {
    EXPECT_TRUE(List().empty());
}

TEST_F(DeviceList, BoardsFirstThenUsbThenByIdThenOnBoardPortsWithHardware) {
    // Two running virtual boards, and links of boards that are gone or broken.
    Device("/dev/pts/7");
    Device("/dev/pts/12");
    Device("/dev/pts/3");
    Process(100);
    Process(20);
    Link("/tmp/kurvomat-ports/100", "/dev/pts/12");
    Link("/tmp/kurvomat-ports/20", "../../dev/pts/7"); // a relative link
    Link("/tmp/kurvomat-ports/300", "/dev/pts/3");     // its process has ended
    Link("/tmp/kurvomat-ports/board", "/dev/pts/3");   // not a process id
    Link("/tmp/kurvomat-ports/100000", "/dev/pts/99"); // no such terminal
    Process(100000);

    // USB adapters and boards, numbered past 9, and names that are no port.
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB", "ttyUSBx", "ttyACM1a"})
        Device(std::string("/dev/") + name);
    // By id: one adapter already listed, one known only by id, a broken link
    // and a loop.
    Link("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", "../../ttyUSB2");
    Link("/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0", "../../ttyCH341USB0");
    Device("/dev/ttyCH341USB0");
    Link("/dev/serial/by-id/usb-Arduino_Uno-if00", "/dev/ttyACM0");
    Link("/dev/serial/by-id/usb-gone-if00", "../../ttyUSB9");
    Link("/dev/serial/by-id/usb-loop-a", "usb-loop-b");
    Link("/dev/serial/by-id/usb-loop-b", "usb-loop-a");

    // On-board ports: the kernel's port type, or where it is missing, the
    // device behind the port.
    for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyS4", "ttyS10"})
        Device(std::string("/dev/") + name);
    File("/sys/class/tty/ttyS0/type", "4\n"); // a 16550A
    File("/sys/class/tty/ttyS1/type", "0\n"); // no UART there
    File("/sys/class/tty/ttyS10/type", "4\n");
    Link("/sys/class/tty/ttyS2/device", "../../../devices/platform/serial8250");
    Link("/sys/class/tty/ttyS3/device", "../../../devices/pnp0/00:05");
    fs::create_directories(At("/sys/devices/pnp0/00:05"));
    fs::create_directories(At("/sys/devices/platform/serial8250"));

    EXPECT_EQ(List(),
              (std::vector<std::string>{"/dev/pts/7", "/dev/pts/12",                     // boards
                                        "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", // USB
                                        "/dev/ttyCH341USB0",                             // by id
                                        "/dev/ttyS0", "/dev/ttyS3", "/dev/ttyS10"}));    // on board
}

TEST_F(DeviceList, ABoardLinkToAUsbDeviceIsListedOnceAsABoard) {
    Device("/dev/ttyUSB0");
    Device("/dev/ttyUSB1");
    Process(42);
    Link("/tmp/kurvomat-ports/42", "/dev/ttyUSB1");
    EXPECT_EQ(List(), (std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB0"}));
}

TEST_F(DeviceList, RootMayEndInASlash) {
    Device("/dev/ttyACM3");
    EXPECT_EQ(ListSerialDevices(root.string() + "/"), (std::vector<std::string>{"/dev/ttyACM3"}));
}

} // namespace
