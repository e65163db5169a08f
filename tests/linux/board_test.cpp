// The virtual board: its wave forms, and the running tool seen through the
// program's own serial operations.
#include "running.h"
#include "serial/serial.h"
#include "wave.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Take(const board::Signal& signal, uint64_t index, size_t count) {
    std::vector<uint8_t> out(count);
    board::Samples(signal, index, out.data(), count);
    return out;
}

board::Signal Wave(board::WaveForm form, double frequency = 1000, double amplitude = 100,
                   double offset = 128) {
    board::Signal signal;
    signal.form = form;
    signal.frequency = frequency;
    signal.amplitude = amplitude;
    signal.offset = offset;
    signal.sampleRate = 8000; // 8 samples a period at 1000 Hz
    return signal;
}

TEST(BoardWave, EachFormOverOnePeriod) {
    struct {
        board::WaveForm form;
        std::vector<uint8_t> period;
    } cases[] = {
        // offset 128 +- 100, starting at the offset and rising
        {board::WaveForm::Sine, {128, 199, 228, 199, 128, 57, 28, 57}},
        {board::WaveForm::Square, {228, 228, 228, 228, 28, 28, 28, 28}},
        {board::WaveForm::Triangle, {128, 178, 228, 178, 128, 78, 28, 78}},
        {board::WaveForm::Sawtooth, {128, 153, 178, 203, 28, 53, 78, 103}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(board::WaveFormName(c.form));
        EXPECT_EQ(Take(Wave(c.form), 0, 8), c.period);
        EXPECT_EQ(Take(Wave(c.form), 8000 * 3600, 8), c.period) << "an hour later, same phase";
        EXPECT_EQ(Take(Wave(c.form), 3, 2),
                  std::vector<uint8_t>(c.period.begin() + 3, c.period.begin() + 5));
    }
}

TEST(BoardWave, ValuesAreClampedToAByte) {
    std::vector<uint8_t> square = Take(Wave(board::WaveForm::Square, 1000, 300, 128), 0, 8);
    EXPECT_EQ(square, (std::vector<uint8_t>{255, 255, 255, 255, 0, 0, 0, 0}));
    std::vector<uint8_t> low = Take(Wave(board::WaveForm::Sine, 1000, 10, -50), 0, 8);
    EXPECT_EQ(low, std::vector<uint8_t>(8, 0));
}

TEST(BoardWave, NoiseStaysInItsBandAndRepeatsForTheSameIndices) {
    board::Signal noise = Wave(board::WaveForm::Noise, 1000, 20, 100);
    std::vector<uint8_t> first = Take(noise, 1000, 5000);
    EXPECT_EQ(first, Take(noise, 1000, 5000));
    int low = 255, high = 0;
    for (uint8_t value : first) {
        low = std::min<int>(low, value);
        high = std::max<int>(high, value);
    }
    EXPECT_GE(low, 80);
    EXPECT_LE(high, 120);
    EXPECT_LT(low, 85) << "the band is used";
    EXPECT_GT(high, 115);
}

TEST(BoardWave, FileBytesPlayInALoop) {
    board::Signal file;
    file.form = board::WaveForm::File;
    file.fileBytes = {1, 2, 3};
    EXPECT_EQ(Take(file, 2, 5), (std::vector<uint8_t>{3, 1, 2, 3, 1}));
}

TEST(BoardWave, NamesOfTheForms) {
    board::WaveForm form = board::WaveForm::File;
    for (const char* name : {"sine", "square", "triangle", "sawtooth", "noise"}) {
        ASSERT_TRUE(board::WaveFormByName(name, &form)) << name;
        EXPECT_STREQ(board::WaveFormName(form), name);
    }
    EXPECT_FALSE(board::WaveFormByName("Sine", &form));
    EXPECT_FALSE(board::WaveFormByName("file", &form)) << "a file is given by --file";
}

// The board tool running in a process of its own.
class RunningBoard : public testing_linux::Running {
  public:
    explicit RunningBoard(const std::vector<std::string>& arguments)
        : Running(KURVOMAT_BOARD, arguments) {}
    static void Pause() { testing_linux::Pause(1); }
};

TEST(BoardTool, PublishesItsPortSendsTheWaveAndWithdrawsOnSigterm) {
    RunningBoard board({"--unpaced", "--wave", "triangle", "--frequency", "9216", "--quiet"});
    std::string port = board.Awaited("kurvomat-board: port ");
    std::string link = board.Awaited("kurvomat-board: published as ");
    ASSERT_FALSE(port.empty()) << board.Log();
    ASSERT_FALSE(link.empty()) << board.Log();
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), port);
    // The board is offered first; only other boards running on this machine
    // may come before it.
    std::vector<std::string> devices = ListSerialDevices("/");
    auto listed = std::find(devices.begin(), devices.end(), port);
    ASSERT_NE(listed, devices.end());
    for (auto before = devices.begin(); before != listed; ++before)
        EXPECT_EQ(before->rfind("/dev/pts/", 0), 0u) << *before << " comes before the board";

    // The program's serial operations read the wave from the port, from its
    // first sample on.
    ASSERT_NE(OpenPort(TextFromUtf8(port), 921600), 0);
    std::vector<uint8_t> received;
    uint8_t buffer[4096];
    for (int i = 0; i < 5000 && received.size() < 3000; ++i) {
        uint32_t waiting = WaitingBytes();
        ASSERT_NE(waiting, PortLost);
        uint32_t got = ReadPort(buffer, std::min<uint32_t>(waiting, sizeof buffer));
        received.insert(received.end(), buffer, buffer + got);
        if (got == 0)
            RunningBoard::Pause();
    }
    ASSERT_GE(received.size(), 3000u);
    board::Signal triangle;
    triangle.form = board::WaveForm::Triangle;
    triangle.frequency = 9216; // 10 samples a period at 92160 bytes/s
    EXPECT_EQ(std::vector<uint8_t>(received.begin(), received.begin() + 3000),
              Take(triangle, 0, 3000));

    // Stopped, the board withdraws its port: the link goes and the open port
    // reports its device lost.
    EXPECT_EQ(board.Stop(), 0);
    struct stat status;
    EXPECT_NE(lstat(link.c_str(), &status), 0) << "the published link is removed";
    EXPECT_TRUE([] {
        for (int i = 0; i < 5000; ++i) {
            uint32_t waiting = WaitingBytes();
            if (waiting == PortLost)
                return true;
            uint8_t rest[4096];
            ReadPort(rest, std::min<uint32_t>(waiting, sizeof rest));
            RunningBoard::Pause();
        }
        return false;
    }());
    ClosePort();
    EXPECT_NE(board.Log().find("port withdrawn"), std::string::npos) << board.Log();
}

TEST(BoardTool, SendsNothingWhileNobodyReadsAndStopsCleanly) {
    RunningBoard board({"--quiet"});
    std::string port = board.Awaited("kurvomat-board: port ");
    ASSERT_FALSE(port.empty());
    struct timespec wait = {0, 300000000};
    nanosleep(&wait, nullptr);
    EXPECT_EQ(board.Stop(), 0) << "the board does not hang on a line nobody reads";
    EXPECT_NE(board.Log().find("stopped after 0 bytes sent"), std::string::npos) << board.Log();
}

TEST(BoardTool, RejectsWrongOptions) {
    for (std::vector<std::string> arguments : {std::vector<std::string>{"--wave", "zigzag"},
                                               {"--frequency", "abc"},
                                               {"--baud", "0"},
                                               {"--file", "/nonexistent/kurvomat"},
                                               {"--bogus"}}) {
        RunningBoard board(arguments);
        EXPECT_EQ(board.Wait(), 2) << arguments[0];
    }
}

} // namespace
