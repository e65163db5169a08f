// kurvomat-board: a virtual board. It creates a pseudo-terminal, publishes it
// where the viewer's port discovery finds it (/tmp/kurvomat-ports/<pid>, a
// link to the terminal), and writes a board's byte stream into it: one byte
// per sample, paced at the line's rate (10 bits a byte), while a reader has
// the port open. Bytes that the reader does not take in time are dropped, as
// on a real line; nothing is sent while nobody reads. It stops on Ctrl+C or
// SIGTERM and withdraws its port.
#include "wave.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const char* const PortDirectory = "/tmp/kurvomat-ports";
const size_t ChunkLimit = 65536;

volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

struct Options {
    board::Signal signal;
    std::string file;
    double baud = 921600;
    bool paced = true;
    uint64_t count = 0; // 0: no limit
    bool quiet = false;
};

void Usage(FILE* out) {
    fprintf(out, "Usage: kurvomat-board [options]\n"
                 "A virtual board for Kurvomat: sends one byte per sample on a pseudo-terminal,\n"
                 "which the viewer lists first among its ports.\n"
                 "\n"
                 "  --wave NAME       sine, square, triangle, sawtooth or noise (default sine)\n"
                 "  --frequency HZ    frequency of the wave (default 250)\n"
                 "  --amplitude N     samples above and below the offset (default 100)\n"
                 "  --offset N        middle of the wave, 0 to 255 (default 128)\n"
                 "  --file PATH       send the bytes of a file in a loop instead of a wave\n"
                 "  --baud N          line rate, 10 bits a byte (default 921600: 92160 bytes/s)\n"
                 "  --unpaced         send as fast as the reader takes the bytes\n"
                 "  --count N         stop sending after N bytes; exit when the reader closes\n"
                 "  --quiet           no report every second\n"
                 "  --help            this text\n");
}

bool ParseNumber(const std::string& text, double* value) {
    char* end = nullptr;
    errno = 0;
    double parsed = strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

// Reads the command line; false with a message on a mistake.
bool ParseOptions(int argc, char** argv, Options* options, bool* help) {
    *help = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            hasValue = true;
        }
        auto takeValue = [&]() {
            if (hasValue)
                return true;
            if (i + 1 >= argc)
                return false;
            value = argv[++i];
            return true;
        };
        double number = 0;
        if (arg == "--help" || arg == "-h") {
            *help = true;
        } else if (arg == "--unpaced") {
            options->paced = false;
        } else if (arg == "--quiet") {
            options->quiet = true;
        } else if (arg == "--wave") {
            if (!takeValue() || !board::WaveFormByName(value, &options->signal.form)) {
                fprintf(stderr, "kurvomat-board: unknown wave form '%s'\n", value.c_str());
                return false;
            }
        } else if (arg == "--file") {
            if (!takeValue() || value.empty()) {
                fprintf(stderr, "kurvomat-board: --file needs a path\n");
                return false;
            }
            options->file = value;
            options->signal.form = board::WaveForm::File;
        } else if (arg == "--frequency" || arg == "--amplitude" || arg == "--offset" ||
                   arg == "--baud" || arg == "--count") {
            if (!takeValue() || !ParseNumber(value, &number)) {
                fprintf(stderr, "kurvomat-board: %s needs a number\n", arg.c_str());
                return false;
            }
            if (arg == "--frequency" && number > 0) {
                options->signal.frequency = number;
            } else if (arg == "--amplitude" && number >= 0) {
                options->signal.amplitude = number;
            } else if (arg == "--offset") {
                options->signal.offset = number;
            } else if (arg == "--baud" && number >= 10) {
                options->baud = number;
            } else if (arg == "--count" && number >= 1 && number < 1e18) {
                options->count = uint64_t(number);
            } else {
                fprintf(stderr, "kurvomat-board: %s %s is out of range\n", arg.c_str(),
                        value.c_str());
                return false;
            }
        } else {
            fprintf(stderr, "kurvomat-board: unknown option '%s'\n", arg.c_str());
            return false;
        }
    }
    options->signal.sampleRate = options->baud / 10.0;
    return true;
}

double Seconds() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void SleepSeconds(double seconds) {
    struct timespec wait;
    wait.tv_sec = time_t(seconds);
    wait.tv_nsec = long((seconds - double(wait.tv_sec)) * 1e9);
    nanosleep(&wait, nullptr); // a signal ends it early, which is wanted
}

// The pseudo-terminal: the master end here, the other end for the reader.
struct Terminal {
    int master = -1;
    std::string port;
    std::string link;
};

bool OpenTerminal(Terminal* terminal) {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        perror("kurvomat-board: pseudo-terminal");
        if (master >= 0)
            close(master);
        return false;
    }
    char name[256];
    if (ptsname_r(master, name, sizeof name) != 0) {
        perror("kurvomat-board: pseudo-terminal name");
        close(master);
        return false;
    }
    // A raw line on the reader's side (termios calls on the master end set
    // the other end).
    struct termios line;
    if (tcgetattr(master, &line) == 0) {
        cfmakeraw(&line);
        tcsetattr(master, TCSANOW, &line);
    }
    // Open and close the reader's end once: from then on the master end
    // reports a hang-up exactly while no reader has the port open.
    int reader = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (reader >= 0)
        close(reader);
    terminal->master = master;
    terminal->port = name;
    return true;
}

// Publishes the port as /tmp/kurvomat-ports/<pid>; a failure leaves the port
// usable by its path.
void Publish(Terminal* terminal) {
    if (mkdir(PortDirectory, 01777) == 0)
        chmod(PortDirectory, 01777); // shared by every user, like /tmp
    std::string link = std::string(PortDirectory) + "/" + std::to_string(getpid());
    unlink(link.c_str());
    if (symlink(terminal->port.c_str(), link.c_str()) != 0) {
        fprintf(stderr, "kurvomat-board: cannot publish %s: %s\n", link.c_str(), strerror(errno));
        return;
    }
    terminal->link = link;
}

void Withdraw(Terminal* terminal) {
    if (!terminal->link.empty())
        unlink(terminal->link.c_str());
    if (terminal->master >= 0)
        close(terminal->master);
    terminal->master = -1;
}

// True while a reader has the port open.
bool ReaderPresent(int master) {
    struct pollfd state = {master, POLLOUT, 0};
    poll(&state, 1, 0);
    return !(state.revents & POLLHUP);
}

// The viewer never writes, but whatever a reader writes is taken and dropped
// so that it cannot fill the line.
void DiscardInput(int master) {
    char junk[4096];
    while (read(master, junk, sizeof junk) > 0) {
    }
}

std::string Describe(const Options& options) {
    char text[512];
    if (options.signal.form == board::WaveForm::File) {
        snprintf(text, sizeof text, "the %zu bytes of %s in a loop",
                 options.signal.fileBytes.size(), options.file.c_str());
    } else if (options.signal.form == board::WaveForm::Noise) {
        snprintf(text, sizeof text, "noise, amplitude %g, offset %g", options.signal.amplitude,
                 options.signal.offset);
    } else {
        snprintf(text, sizeof text, "%s, %g Hz, amplitude %g, offset %g",
                 board::WaveFormName(options.signal.form), options.signal.frequency,
                 options.signal.amplitude, options.signal.offset);
    }
    std::string line = text;
    if (options.paced)
        snprintf(text, sizeof text, " at %.0f bytes/s (%.0f baud)", options.signal.sampleRate,
                 options.baud);
    else
        snprintf(text, sizeof text, " as fast as the reader takes them");
    line += text;
    if (options.count)
        line += ", " + std::to_string(options.count) + " bytes";
    return line;
}

int Run(const Options& options) {
    Terminal terminal;
    if (!OpenTerminal(&terminal))
        return 1;
    Publish(&terminal);
    printf("kurvomat-board: port %s\n", terminal.port.c_str());
    if (!terminal.link.empty())
        printf("kurvomat-board: published as %s\n", terminal.link.c_str());
    printf("kurvomat-board: sending %s\n", Describe(options).c_str());
    fflush(stdout);

    std::vector<uint8_t> chunk(ChunkLimit);
    const double rate = options.signal.sampleRate;
    const double start = Seconds();
    double lastReport = start;
    uint64_t generated = 0, sent = 0, dropped = 0;
    uint64_t sentAtReport = 0, droppedAtReport = 0;
    bool reader = false;
    bool done = false;

    while (!stopRequested) {
        DiscardInput(terminal.master);
        bool present = ReaderPresent(terminal.master);
        if (present != reader) {
            reader = present;
            printf("kurvomat-board: %s\n", reader ? "reader connected" : "reader gone");
            fflush(stdout);
            if (!reader && done)
                break;
        }
        double now = Seconds();
        size_t wanted = 0;
        if (done) {
            wanted = 0;
        } else if (options.paced) {
            uint64_t due = uint64_t((now - start) * rate);
            if (due - generated > uint64_t(rate)) {
                // More than a second behind (the board was stopped): the
                // samples of that time are lost, as on a line.
                dropped += due - generated;
                generated = due;
            }
            wanted = size_t(std::min<uint64_t>(due - generated, ChunkLimit));
        } else if (reader) {
            wanted = ChunkLimit;
        }
        if (options.count)
            wanted = size_t(std::min<uint64_t>(wanted, options.count - sent));
        size_t written = 0;
        if (wanted > 0) {
            board::Samples(options.signal, generated, chunk.data(), wanted);
            if (reader) {
                ssize_t result = write(terminal.master, chunk.data(), wanted);
                written = result > 0 ? size_t(result) : 0;
            }
            sent += written;
            if (options.paced) {
                generated += wanted;
                dropped += wanted - written;
            } else {
                generated += written;
            }
        }
        if (options.count && sent >= options.count && !done) {
            done = true;
            printf("kurvomat-board: %llu bytes sent; waiting for the reader to close the port\n",
                   (unsigned long long)sent);
            fflush(stdout);
            if (!reader)
                break;
        }
        if (now - lastReport >= 1.0) {
            if (!options.quiet) {
                double span = now - lastReport;
                printf("kurvomat-board: sent %llu bytes in %.1f s (%.0f bytes/s), %llu dropped, "
                       "%s\n",
                       (unsigned long long)(sent - sentAtReport), span,
                       double(sent - sentAtReport) / span,
                       (unsigned long long)(dropped - droppedAtReport),
                       reader ? "reader connected" : "no reader");
                fflush(stdout);
            }
            lastReport = now;
            sentAtReport = sent;
            droppedAtReport = dropped;
        }
        if (!reader || done) {
            SleepSeconds(0.01);
        } else if (options.paced) {
            SleepSeconds(0.001);
        } else if (written < wanted) {
            struct pollfd room = {terminal.master, POLLOUT, 0};
            poll(&room, 1, 10);
        }
    }

    Withdraw(&terminal);
    printf("kurvomat-board: stopped after %llu bytes sent (%llu dropped); port withdrawn\n",
           (unsigned long long)sent, (unsigned long long)dropped);
    fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    if (!ParseOptions(argc, argv, &options, &help)) {
        fprintf(stderr, "Try 'kurvomat-board --help'.\n");
        return 2;
    }
    if (help) {
        Usage(stdout);
        return 0;
    }
    if (options.signal.form == board::WaveForm::File) {
        std::ifstream file(options.file, std::ios::binary);
        options.signal.fileBytes.assign(std::istreambuf_iterator<char>(file),
                                        std::istreambuf_iterator<char>());
        if (!file.good() && !file.eof()) {
            fprintf(stderr, "kurvomat-board: cannot read %s\n", options.file.c_str());
            return 2;
        }
        if (options.signal.fileBytes.empty()) {
            fprintf(stderr, "kurvomat-board: %s is empty or missing\n", options.file.c_str());
            return 2;
        }
    }

    struct sigaction stop = {};
    stop.sa_handler = RequestStop;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGHUP, &stop, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return Run(options);
}
