// The four serial operations over termios, against real pseudo-terminals: the
// test holds the master end and plays the board, the program opens the other
// end by its path.
#include "serial/serial.h"

#include <gtest/gtest.h>

#include <asm/termbits.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class Pty {
  public:
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        char name[256];
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0 &&
            ptsname_r(master, name, sizeof name) == 0)
            path = name;
    }
    ~Pty() { CloseMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& Port() const { return path; }
    Text PortText() const { return TextFromUtf8(path); }
    bool Send(const std::vector<uint8_t>& bytes) {
        return write(master, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }
    // The line settings of the port's end (termios calls on the master end
    // reach the other end).
    struct termios2 Settings() const {
        struct termios2 line = {};
        ioctl(master, TCGETS2, &line);
        return line;
    }
    void SetSettings(const struct termios2& line) { ioctl(master, TCSETS2, &line); }
    // The port's device goes away, as an unplugged adapter does.
    void CloseMaster() {
        if (master >= 0)
            close(master);
        master = -1;
    }

  private:
    int master = -1;
    std::string path;
};

// Waits until the condition holds, for at most about five seconds (bytes
// written into a pseudo-terminal reach the other end a moment later).
template <class Condition> bool WaitFor(Condition condition) {
    for (int i = 0; i < 5000 && !condition(); ++i) {
        struct timespec wait = {0, 1000000};
        nanosleep(&wait, nullptr);
    }
    return condition();
}

// OpenPort in a process of its own, as another program would; its result.
int OpenInOtherProcess(const Text& port) {
    pid_t child = fork();
    if (child == 0) {
        int opened = OpenPort(port, 9600) != 0 ? 1 : 0;
        ClosePort();
        _exit(opened);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A process that holds the device open until its pipe is closed; returns
// the pipe's write end, the child in *child.
int HoldInOtherProcess(const std::string& path, int how, pid_t* child) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0)
        return -1;
    *child = fork();
    if (*child == 0) {
        close(ready[0]);
        close(release[1]);
        int handle = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (handle >= 0 && how == LOCK_EX)
            flock(handle, LOCK_EX);
        char byte = handle >= 0 ? 1 : 0;
        (void)!write(ready[1], &byte, 1);
        (void)!read(release[0], &byte, 1);
        _exit(0);
    }
    char byte = 0;
    close(ready[1]);
    close(release[0]);
    EXPECT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 1) << "the other process could not open " << path;
    close(ready[0]);
    return release[1];
}

void ReleaseOtherProcess(int pipeEnd, pid_t child) {
    close(pipeEnd);
    waitpid(child, nullptr, 0);
}

std::vector<uint8_t> AllByteValues() {
    std::vector<uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[i] = uint8_t(i);
    return bytes;
}

class SerialPort : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(pty.Port().empty()); }
    void TearDown() override { ClosePort(); }
    Pty pty;
};

TEST_F(SerialPort, OpensRaw8N1AtAnyRate) {
    // Standard rates, the two above the standard constants, and rates no
    // constant names.
    for (int32_t baud : {9600, 115200, 921600, 1843200, 250000, 43000, 100}) {
        SCOPED_TRACE(baud);
        ASSERT_NE(OpenPort(pty.PortText(), baud), 0);
        struct termios2 line = pty.Settings();
        EXPECT_EQ(line.c_cflag & CBAUD, tcflag_t(BOTHER));
        EXPECT_EQ(line.c_ospeed, speed_t(baud));
        EXPECT_EQ(line.c_ispeed, speed_t(baud));
        EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u) << "no parity, 1 stop, no CTS";
        EXPECT_EQ(line.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
        EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | PARMRK), 0u);
        EXPECT_EQ(line.c_oflag & OPOST, 0u);
        ClosePort();
    }
}

TEST_F(SerialPort, LeavesInputFlowControlAsTheDriverHasIt) {
    for (bool ixoff : {true, false}) {
        struct termios2 line = pty.Settings();
        line.c_iflag = ixoff ? (line.c_iflag | IXOFF) : (line.c_iflag & ~tcflag_t(IXOFF));
        pty.SetSettings(line);
        ASSERT_NE(OpenPort(pty.PortText(), 921600), 0);
        EXPECT_EQ((pty.Settings().c_iflag & IXOFF) != 0, ixoff);
        ClosePort();
    }
}

TEST_F(SerialPort, OpenFailsForWhatIsNoUsablePort) {
    char directory[] = "/tmp/kurvomat-port-test-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    std::string file = std::string(directory) + "/plain";
    FILE* plain = fopen(file.c_str(), "w");
    ASSERT_NE(plain, nullptr);
    fclose(plain);
    struct {
        Text name;
        int32_t baud;
        const char* why;
    } cases[] = {
        {u"", 921600, "empty name"},
        {u"/dev/kurvomat-no-such-port", 921600, "no such device"},
        {TextFromUtf8(directory), 921600, "a directory"},
        {TextFromUtf8(file), 921600, "a plain file"},
        {u"/dev/null", 921600, "a device that is no tty"},
        {u" " + pty.PortText(), 921600, "the name is used exactly as typed"},
        {pty.PortText(), 0, "rate 0 (a baud text that is no number)"},
        {pty.PortText(), -5, "a negative rate"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenPort(c.name, c.baud), 0) << c.why;
        EXPECT_EQ(WaitingBytes(), 0u) << c.why << ": nothing is open";
    }
    remove(file.c_str());
    rmdir(directory);
    EXPECT_NE(OpenPort(pty.PortText(), 921600), 0) << "the port itself still opens";
}

TEST_F(SerialPort, CountsWaitingBytesAndReadsThemUnchanged) {
    ASSERT_NE(OpenPort(pty.PortText(), 921600), 0);
    EXPECT_EQ(WaitingBytes(), 0u);
    uint8_t buffer[600] = {};
    EXPECT_EQ(ReadPort(buffer, sizeof buffer), 0u) << "a read with nothing queued returns at once";

    // Every byte value, among them XON and XOFF (17, 19), CR and LF, the
    // interrupt characters and 255, arrives as it was sent.
    std::vector<uint8_t> sent = AllByteValues();
    ASSERT_TRUE(pty.Send(sent));
    ASSERT_TRUE(WaitFor([] { return WaitingBytes() == 256u; })) << WaitingBytes();
    EXPECT_EQ(ReadPort(buffer, 256), 256u);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 256), sent);
    EXPECT_EQ(WaitingBytes(), 0u);

    // A read of fewer bytes than wait leaves the rest queued; a read of more
    // takes what is there.
    ASSERT_TRUE(pty.Send(std::vector<uint8_t>(100, 0x55)));
    ASSERT_TRUE(WaitFor([] { return WaitingBytes() == 100u; }));
    EXPECT_EQ(ReadPort(buffer, 40), 40u);
    EXPECT_EQ(WaitingBytes(), 60u);
    EXPECT_EQ(ReadPort(buffer, sizeof buffer), 60u);
    EXPECT_EQ(WaitingBytes(), 0u);
}

TEST_F(SerialPort, APortHeldByAnotherProgramDoesNotOpen) {
    // Open here: another program's open fails, whoever it runs as.
    ASSERT_NE(OpenPort(pty.PortText(), 921600), 0);
    EXPECT_EQ(OpenInOtherProcess(pty.PortText()), 0);
    ClosePort();
    EXPECT_EQ(OpenInOtherProcess(pty.PortText()), 1) << "closing releases the port";

    // Held elsewhere, plainly or with a lock: the open here fails.
    for (int how : {0, LOCK_EX}) {
        SCOPED_TRACE(how);
        pid_t child = 0;
        int holder = HoldInOtherProcess(pty.Port(), how, &child);
        ASSERT_GE(holder, 0);
        EXPECT_EQ(OpenPort(pty.PortText(), 921600), 0);
        ReleaseOtherProcess(holder, child);
        EXPECT_NE(OpenPort(pty.PortText(), 921600), 0) << "free again once the other lets go";
        ClosePort();
    }
}

TEST_F(SerialPort, AVanishedDeviceIsReportedAsLost) {
    ASSERT_NE(OpenPort(pty.PortText(), 921600), 0);
    EXPECT_EQ(WaitingBytes(), 0u);
    pty.CloseMaster();
    EXPECT_EQ(WaitingBytes(), PortLost);
    uint8_t buffer[16];
    EXPECT_EQ(ReadPort(buffer, sizeof buffer), 0u);
    ClosePort();
    EXPECT_EQ(WaitingBytes(), 0u) << "after closing, nothing is open";
}

TEST_F(SerialPort, NothingOpenMeansNothingWaitingAndNothingRead) {
    ClosePort();
    EXPECT_EQ(WaitingBytes(), 0u);
    uint8_t buffer[4] = {};
    EXPECT_EQ(ReadPort(buffer, sizeof buffer), 0u);
}

} // namespace
