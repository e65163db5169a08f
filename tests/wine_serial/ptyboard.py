"""A pseudo-terminal standing in for the board, for the Wine tests and the
serial benchmark. Standard library only.

The slave end is what Wine opens as a COM port; this side writes into the
master end. The slave is put into raw mode (no echo, no line editing) and held
open here as well, so that its settings can be read back after the program
has set the line up.
"""
import os
import subprocess
import termios
import time
import tty

# Byte i of a known stream is i mod 251: 251 is prime, so a lost, doubled or
# changed byte breaks the pattern wherever a chunk starts or ends.
PATTERN_PERIOD = 251
_BLOCK = bytes(i % PATTERN_PERIOD for i in range(PATTERN_PERIOD * 1024))


def pattern(start, count):
    """Bytes start .. start+count-1 of the known stream."""
    out = bytearray()
    offset = start % PATTERN_PERIOD
    while len(out) < count:
        take = min(count - len(out), len(_BLOCK) - offset)
        out += _BLOCK[offset:offset + take]
        offset = 0
    return bytes(out)


class PtyBoard:
    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.path = os.ttyname(self.slave)
        self.closed = False

    def write_all(self, data):
        """Writes every byte; the kernel holds the writer back while the
        reader is behind."""
        view = memoryview(data)
        while len(view):
            written = os.write(self.master, view)
            view = view[written:]

    def send(self, data, rate=None):
        """Writes data at about rate bytes a second (None: as fast as the pty
        takes it). Returns the seconds from the first to the last write."""
        start = time.monotonic()
        if rate is None:
            self.write_all(data)
            return time.monotonic() - start
        step = max(64, int(rate / 1000))  # about one write a millisecond
        sent = 0
        while sent < len(data):
            due = start + sent / rate
            now = time.monotonic()
            if due > now:
                time.sleep(due - now)
            block = data[sent:sent + step]
            self.write_all(block)
            sent += len(block)
        return time.monotonic() - start

    def line_settings(self):
        """(ispeed, ospeed, cflag, iflag) of the slave as the program left
        them."""
        attrs = termios.tcgetattr(self.slave)
        return attrs[4], attrs[5], attrs[2], attrs[0]

    def holders(self):
        """Process ids, other than this one, that hold the slave open."""
        target = os.stat(self.path).st_rdev
        found = set()
        for pid in os.listdir("/proc"):
            if not pid.isdigit() or int(pid) == os.getpid():
                continue
            fd_dir = "/proc/%s/fd" % pid
            try:
                for fd in os.listdir(fd_dir):
                    try:
                        st = os.stat(os.path.join(fd_dir, fd))
                    except OSError:
                        continue
                    if st.st_rdev == target and (st.st_mode & 0o170000) == 0o020000:
                        found.add(int(pid))
            except OSError:
                continue
        return found

    def close(self):
        """Closes both ends: the program's end of the line hangs up."""
        if not self.closed:
            os.close(self.master)
            os.close(self.slave)
            self.closed = True


def wine_env(repo, log, *command):
    """Runs a function of scripts/wine-env.sh with its arguments."""
    with open(log, "w") as out:
        return subprocess.call(
            ["bash", "-c", '. "$1/scripts/wine-env.sh" && "${@:2}"', "bash", repo]
            + [str(part) for part in command],
            stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
            env=dict(os.environ, KURVOMAT_WINE_NOSTART="1")) == 0


def map_com_port(repo, number, device, log):
    """Maps COM<number> to device in the Wine prefix; restarts the
    wineserver, so call it before starting a Windows program."""
    return wine_env(repo, log, "wine_env_map_com", number, device)


def unmap_com_port(repo, number, log):
    """Removes the mapping of COM<number> again (restarts the wineserver)."""
    return wine_env(repo, log, "wine_env_unmap_com", number)
