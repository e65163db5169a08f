// serial_bench: the program's own start-up and main loop, timed from inside,
// for scripts/bench-serial.sh. A Windows console program run under Wine
// against a pseudo-terminal mapped as a COM port:
//
//   wine serial_bench.exe PORT MODE IDLE_MS SEGMENT_BYTES...
//
// It starts the program as usual (window, controls, registry scan), sets
// PortCombo to PORT and ModeCombo to item MODE, and then runs passes of the
// main loop (RunPass), exactly as the program does, measuring:
//   1. IDLE_MS milliseconds disconnected (each pass sleeps 3 ms);
//   2. presses ConnectButton, and IDLE_MS milliseconds connected with no byte
//      arriving: passes a second and the processor time the process used;
//   3. for each SEGMENT_BYTES: prints "ready K" and counts the bytes every
//      pass hands to the plot mode (AvailableCount after the pass, the chunk
//      length) until the segment is complete, or 5 s pass without a byte.
//      Every byte is checked against the feeder's pattern: byte i of the
//      whole stream is i mod 251, so a lost, doubled or changed byte shows;
//   4. still connected, the time of single operations a pass is made of.
// Lines of key=value go to standard output, flushed at once.
#include "app/app.h"
#include "plot/plot.h"
#include "serial/serial.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Processor time of this process, user and kernel, in seconds.
double ProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return value(kernel) + value(user);
}

// Runs passes for the given time; returns their number. False in *closed
// when the window was closed meanwhile.
long RunFor(double seconds, bool* closed) {
    long passes = 0;
    double end = Seconds() + seconds;
    while (Seconds() < end) {
        ++passes;
        if (!RunPass()) {
            *closed = true;
            break;
        }
    }
    return passes;
}

void Report(const char* phase, long passes, double seconds, double cpu) {
    std::printf("%s passes=%ld seconds=%.3f passes_per_second=%.0f cpu_percent=%.1f\n", phase,
                passes, seconds, passes / seconds, 100.0 * cpu / seconds);
    std::fflush(stdout);
}

// Times one operation, repeated, and prints its mean in microseconds.
void TimeOperation(const char* name, int repeats, const std::function<void()>& operation) {
    double start = Seconds();
    for (int i = 0; i < repeats; ++i) {
        operation();
    }
    std::printf("operation name=%s microseconds=%.2f\n", name, 1e6 * (Seconds() - start) / repeats);
    std::fflush(stdout);
}

void TimeOperations() {
    TimeOperation("WaitingBytes", 20000, [] { WaitingBytes(); });
    TimeOperation("ControlState", 2000, [] { ControlState(ConnectButton); });
    TimeOperation("ControlText", 2000, [] { ControlText(ModeCombo); });
    TimeOperation("SetControlText", 2000, [] { SetControlText(ConnectButton, u"Trennen"); });
    TimeOperation("DisableControl", 2000, [] { DisableControl(BaudCombo, 1); });
    TimeOperation("PollEvent", 2000, [] { PollEvent(); });
    TimeOperation("ApplyControlRules", 1000, [] { ApplyControlRules(); });
    TimeOperation("RunPass", 1000, [] { RunPass(); });
    TimeOperation("ShowPicture", 300, [] {
        EndDrawing();
        ShowPicture(LastFrame);
        BeginDrawing(WorkCanvas);
    });
    TimeOperation("HandOverSweep", 300, [] { HandOverSweep(); });
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: serial_bench PORT MODE IDLE_MS SEGMENT_BYTES...\n");
        return 2;
    }
    std::string port = argv[1];
    int mode = std::atoi(argv[2]);
    double idle = std::atoi(argv[3]) / 1000.0;

    StartUp();
    SetControlText(PortCombo, Text(port.begin(), port.end()));
    SetControlState(ModeCombo, mode);
    bool closed = false;

    double cpu = ProcessorSeconds(), start = Seconds();
    long passes = RunFor(idle, &closed);
    Report("disconnected", passes, Seconds() - start, ProcessorSeconds() - cpu);

    SetControlState(ConnectButton, 1);
    RunPass();
    if (App.Connected != 1) {
        std::printf("open_failed port=%s\n", port.c_str());
        std::fflush(stdout);
        ShutDown();
        return 1;
    }
    cpu = ProcessorSeconds();
    start = Seconds();
    passes = RunFor(idle, &closed);
    Report("connected_idle", passes, Seconds() - start, ProcessorSeconds() - cpu);

    uint64_t position = 0; // bytes of the whole stream so far
    int result = 0;
    for (int k = 4; k < argc && !closed; ++k) {
        uint64_t want = std::strtoull(argv[k], nullptr, 10);
        uint64_t got = 0, errors = 0, chunks = 0, largest = 0;
        passes = 0;
        std::printf("ready %d\n", k - 4);
        std::fflush(stdout);
        double first = 0, last = Seconds(), begin = Seconds();
        cpu = ProcessorSeconds();
        while (got < want && Seconds() - last < 5.0) {
            ++passes;
            if (!RunPass()) {
                closed = true;
                break;
            }
            if (App.Connected != 1) {
                break;
            }
            uint32_t count = App.AvailableCount;
            if (count == 0) {
                continue;
            }
            last = Seconds();
            if (first == 0) {
                first = last;
            }
            ++chunks;
            if (count > largest) {
                largest = count;
            }
            for (uint32_t i = 0; i < count; ++i) {
                if (App.RxBuffer[i] != static_cast<uint8_t>((position + i) % 251)) {
                    ++errors;
                }
            }
            position += count;
            got += count;
        }
        double span = first > 0 ? last - first : 0;
        std::printf(
            "segment %d bytes=%llu expected=%llu errors=%llu chunks=%llu largest_chunk=%llu "
            "passes=%ld receive_seconds=%.3f bytes_per_second=%.0f cpu_percent=%.1f\n",
            k - 4, static_cast<unsigned long long>(got), static_cast<unsigned long long>(want),
            static_cast<unsigned long long>(errors), static_cast<unsigned long long>(chunks),
            static_cast<unsigned long long>(largest), passes, span, span > 0 ? got / span : 0.0,
            100.0 * (ProcessorSeconds() - cpu) / (Seconds() - begin));
        std::fflush(stdout);
        if (got != want || errors != 0) {
            result = 1;
        }
    }
    if (!closed && App.Connected == 1) {
        TimeOperations();
    }
    std::printf("done\n");
    std::fflush(stdout);
    ShutDown();
    return result;
}
