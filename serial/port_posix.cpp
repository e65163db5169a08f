// The four serial operations on Linux, over a tty device and its termios
// settings (the termios2 interface, which takes any baud rate).
//
// The port is opened without blocking and stays so: a read takes what is
// queued and never waits. The line is raw 8N1 with the receiver on and the
// modem lines ignored (CLOCAL); RTS is switched off and CTS is not monitored;
// DTR and input flow control (IXOFF) stay as the driver has them. XON/XOFF
// on output (IXON, IXANY) is switched off: the terminal layer turns it on by
// default for every tty, and it would swallow every sample of 17 and 19.
//
// No other program may hold the port while it is open here: the open fails if
// another process has the device open or locked (flock); an exclusive device
// (TIOCEXCL) does not even open, unless this program runs as root. Once open,
// the port is locked and made exclusive; ClosePort clears both.
#include "serial.h"

#include <asm/termbits.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

int PortHandle = -1;

bool AllDigits(const char* name) {
    if (!*name)
        return false;
    for (; *name; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

// True when a process other than this one has the device open. Processes
// whose descriptors this user may not look at are passed over.
bool HeldByAnotherProcess(dev_t device) {
    DIR* processes = opendir("/proc");
    if (!processes)
        return false;
    const std::string self = std::to_string(getpid());
    bool held = false;
    while (!held) {
        struct dirent* process = readdir(processes);
        if (!process)
            break;
        if (!AllDigits(process->d_name) || self == process->d_name)
            continue;
        std::string fdDirectory = std::string("/proc/") + process->d_name + "/fd";
        DIR* descriptors = opendir(fdDirectory.c_str());
        if (!descriptors)
            continue;
        while (struct dirent* descriptor = readdir(descriptors)) {
            if (!AllDigits(descriptor->d_name))
                continue;
            struct stat target;
            std::string path = fdDirectory + "/" + descriptor->d_name;
            if (stat(path.c_str(), &target) == 0 && S_ISCHR(target.st_mode) &&
                target.st_rdev == device) {
                held = true;
                break;
            }
        }
        closedir(descriptors);
    }
    closedir(processes);
    return held;
}

// Takes the port for this program alone; false if another program has it.
bool ClaimPort(int handle) {
    struct stat device;
    if (fstat(handle, &device) != 0 || !S_ISCHR(device.st_mode))
        return false;
    if (flock(handle, LOCK_EX | LOCK_NB) != 0)
        return false;
    // The exclusive flag itself is no sign of another holder: on a
    // pseudo-terminal it outlives a holder that ended without clearing it.
    if (HeldByAnotherProcess(device.st_rdev))
        return false;
    ioctl(handle, TIOCEXCL);
    return true;
}

// Raw 8N1 at the given rate; false if the device is no tty or refuses.
bool SetLine(int handle, int32_t baud) {
    struct termios2 line;
    if (ioctl(handle, TCGETS2, &line) != 0)
        return false;
    line.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC |
                              INPCK | IXON | IXANY | IMAXBEL);
    line.c_oflag &= ~tcflag_t(OPOST);
    line.c_lflag &= ~tcflag_t(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag &=
        ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    line.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER;
    line.c_ispeed = speed_t(baud);
    line.c_ospeed = speed_t(baud);
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    if (ioctl(handle, TCSETS2, &line) != 0)
        return false;
    // RTS off, after the settings: the driver raises it when a port opens or
    // its rate leaves 0. Pseudo-terminals have no modem lines.
    int rts = TIOCM_RTS;
    ioctl(handle, TIOCMBIC, &rts);
    return true;
}

} // namespace

int OpenPort(const Text& name, int32_t baud) {
    if (PortHandle >= 0 || name.empty() || baud <= 0)
        return 0;
    std::string path = Utf8FromText(name);
    if (path.find('\0') != std::string::npos)
        return 0;
    int handle = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        return 0;
    struct termios2 line;
    bool terminal = ioctl(handle, TCGETS2, &line) == 0;
    if (!terminal || !ClaimPort(handle) || !SetLine(handle, baud)) {
        close(handle);
        return 0;
    }
    PortHandle = handle;
    return 1;
}

void ClosePort() {
    if (PortHandle < 0)
        return;
    ioctl(PortHandle, TIOCNXCL);
    close(PortHandle);
    PortHandle = -1;
}

uint32_t WaitingBytes() {
    if (PortHandle < 0)
        return 0;
    int waiting = 0;
    if (ioctl(PortHandle, FIONREAD, &waiting) != 0 || waiting < 0)
        return PortLost;
    if (waiting == 0) {
        // A device that is gone (unplugged, or the other end of a
        // pseudo-terminal closed) reports a hang-up or an error.
        struct pollfd state = {PortHandle, POLLIN, 0};
        if (poll(&state, 1, 0) < 0 || (state.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return PortLost;
    }
    return uint32_t(waiting);
}

uint32_t ReadPort(uint8_t* buffer, uint32_t count) {
    if (PortHandle < 0 || !buffer)
        return 0;
    uint32_t total = 0;
    while (total < count) {
        ssize_t got = read(PortHandle, buffer + total, count - total);
        if (got > 0) {
            total += uint32_t(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break; // nothing more queued, end of file or an error
        }
    }
    return total;
}
