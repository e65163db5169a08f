#!/usr/bin/env python3
"""End-to-end tests of the serial link of the Windows build under Wine.

A pseudo-terminal (ptyboard.py) stands in for the board; its slave end is
mapped as a COM port in the Wine prefix. kurvomat.exe runs unchanged and is
looked at and driven from outside through winremote.exe. Run by run.sh,
which sets up the Wine environment:

    serial_e2e.py --build WIN_BUILD_DIR --out OUT_DIR CASE

Cases:
  connect    the mapped port is listed in PortCombo (in the registry's order,
             the first selected); choosing it and pressing ConnectButton opens
             it at 921600 baud, 8 data bits, no parity, one stop bit, no RTS/CTS
             handshake (read back from the pseudo-terminal), "Trennen" stays;
             releasing the button shows the status bar at rest and lets the
             port go; closing the window ends the program with 0.
  stream     a known stream of random bytes, partly at the line rate of 921600
             baud and partly as fast as the pseudo-terminal takes it, arrives
             without a byte lost: the oscilloscope's "N Werte/s" figures add up
             to every byte sent, and the last sweep on the screen is exactly
             the 1001 bytes it must be; disconnecting shows the status bar at
             rest and keeps the picture.
  bad_port   names that name nothing (unknown, empty, with a leading blank, a
             device name of 60 characters) release the button; a name of more
             than 59 characters opens the device named by its first 59.
  hangup     closing the other end of the pseudo-terminal while connected
             releases the button and shows the status bar at rest; the program
             keeps running and connects to another port.
  close      closing the window while connected, with bytes arriving, ends
             the program with exit code 0 and lets the port go.

How no byte is lost is proved from outside, with nothing added to the
program: in "Oszilloskop" every received byte is counted, and the first chunk
that arrives 1000 ms or more after the last figures update writes the count
into SampleRateField as "N Werte/s" and starts counting anew. The test sends
a single marker byte after a quiet gap of more than a second and waits until
the program has taken it from the line (the pseudo-terminal's input count
falls to 0), so the marker is a chunk of its own that closes the period. Then
it sends the next segment in full and waits until the program has taken all
of it, well within the second. The figure the next marker brings is then
exactly the segment plus the marker. Every such figure is read and checked,
and their sum against all bytes sent. The random content is checked on the
screen: with the trigger "aus" the sweeps follow one another every 1001
bytes, so the sweep shown last must have, at every column x, a trace pixel at
row 255 minus byte x of that sweep, which no shifted or damaged stream
matches.
"""
import argparse
import fcntl
import os
import random
import struct
import subprocess
import sys
import termios
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine"))
import checks  # noqa: E402
import ptyboard  # noqa: E402
from window_check import unescape  # noqa: E402

REPO = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
PORT = 7
OTHER_PORT = 8
# 921600 baud: one start bit, eight data bits and one stop bit a byte.
LINE_RATE = 92160
SWEEP = 1001
TRACE = (0, 0, 255)  # pure blue
NAME_59 = "kurvomat-e2e-" + "x" * 41 + "-port"
NAME_60 = "kurvomat-e2e-" + "y" * 42 + "-port"
assert len(NAME_59) == 59 and len(NAME_60) == 60

def check(ok, what, detail=""):
    return checks.check(ok, what, "" if detail == "" else str(detail))


def wait_until(condition, seconds, step=0.1):
    end = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() >= end:
            return value
        time.sleep(step)


class Program:
    """kurvomat.exe under Wine, looked at through winremote.exe."""

    def __init__(self, build, out):
        self.build = build
        self.out = out
        self.log = open(os.path.join(out, "kurvomat.log"), "w")
        self.process = subprocess.Popen(["wine", os.path.join(build, "kurvomat.exe")],
                                        stdout=self.log, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL)
        self.answer = os.path.join(out, "winremote.out")

    def inspect(self, *args, wait=10):
        with open(self.answer, "w") as f:
            rc = subprocess.call(["wine", os.path.join(self.build, "winremote.exe"), "--wait",
                                  str(wait)] + [str(a) for a in args], stdout=f,
                                 stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=120)
        values = {"_rc": rc}
        with open(self.answer, encoding="utf-8", errors="replace") as f:
            for line in f:
                key, sep, value = line.rstrip("\r\n").partition("=")
                if sep:
                    values[key] = unescape(value)
        return values

    def control(self, number):
        return self.inspect("control", number)

    def items(self, number):
        values = self.control(number)
        return [values["item.%d" % i] for i in range(int(values.get("count", 0)))]

    def status(self):
        return self.inspect("status")

    def button(self, number):
        values = self.control(number)
        return values.get("text"), values.get("checked")

    def running(self):
        return self.process.poll() is None

    def close(self, seconds=30):
        self.inspect("close")
        try:
            return self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return None

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait(10)
        self.log.close()


def com_ports():
    """The port names the registry's serial device map lists, in its order."""
    path = os.path.join(ARGS.out, "ports.txt")
    ptyboard.wine_env(REPO, path, "wine_env_com_ports")
    with open(path) as f:
        return [line.strip() for line in f if line.strip()]


def waiting_in(board):
    """Bytes the program has not yet taken from the line."""
    return struct.unpack("i", fcntl.ioctl(board.slave, termios.FIONREAD, b"\0\0\0\0"))[0]


def taken(board, seconds):
    """Waits until the program has taken every byte written so far; the time
    that took, or None. Bytes written into the master reach the slave's input
    queue through the kernel's buffer work a moment later, so the queue is
    looked at only after a settling pause."""
    start = time.monotonic()
    time.sleep(0.05)
    while waiting_in(board) > 0:
        if time.monotonic() - start > seconds:
            return None
        time.sleep(0.0005)
    return time.monotonic() - start


def at_rest(status):
    """The status bar as it is at rest (IdleStatus)."""
    return (status.get("text.0") == "0 FPS" and status.get("text.1") == "0 Werte/s" and
            status.get("text.2") == "0 ms/DIV" and status.get("text.3") == "COM-Auslastung: " and
            status.get("progress_pos") == "0" and status.get("progress_min") == "0" and
            status.get("progress_max") == "10")


def map_port(number, board):
    ok = ptyboard.map_com_port(REPO, number, board.path,
                               os.path.join(ARGS.out, "map-com%d.log" % number))
    if not ok:
        sys.exit("could not map COM%d to %s" % (number, board.path))


def connect(program, name):
    program.inspect("settext", 6, name)
    program.inspect("click", 10)


def connected(program, board):
    return (wait_until(lambda: program.button(10) == ("Trennen", "1"), 10) and
            wait_until(lambda: bool(board.holders()), 5))


def released(program):
    return wait_until(lambda: program.button(10) == ("Verbinden", "0"), 10)


def check_closes_with_0(program):
    rc = program.close()
    check(rc == 0, "closing the window ends the program with exit code 0", rc)


# ---- cases ------------------------------------------------------------------------


def case_connect(program, board):
    listed = com_ports()
    check("COM%d" % PORT in listed, "the registry lists COM%d" % PORT, listed)
    program.inspect("window")
    items = program.items(6)
    check(items == listed, "PortCombo lists the registry's ports in its order", items)
    combo = program.control(6)
    check(combo.get("selected") == "0" and combo.get("edit_text") == (listed or [""])[0],
          "the first port found is selected", combo.get("edit_text"))
    if "COM%d" % PORT in items:
        program.inspect("select", 6, items.index("COM%d" % PORT))
    check(program.control(6).get("edit_text") == "COM%d" % PORT, "COM%d chosen" % PORT)
    check(program.control(7).get("edit_text") == "921600", "BaudCombo shows 921600")

    program.inspect("click", 10)
    check(connected(program, board), "ConnectButton opens the port and reads \"Trennen\"",
          program.button(10))
    ispeed, ospeed, cflag, iflag = board.line_settings()
    check(ispeed == termios.B921600 and ospeed == termios.B921600, "the line runs at 921600 baud",
          (ispeed, ospeed))
    check(cflag & termios.CSIZE == termios.CS8, "8 data bits")
    check(not cflag & termios.PARENB, "no parity")
    check(not cflag & termios.CSTOPB, "one stop bit")
    check(not cflag & termios.CRTSCTS, "no RTS/CTS handshake")
    # The line was raw when the program opened it; XON/XOFF stays as found.
    check(not iflag & (termios.IXON | termios.IXOFF), "XON/XOFF left off as the driver reported")
    check(program.control(6).get("enabled") == "0" and program.control(7).get("enabled") == "0",
          "PortCombo and BaudCombo are disabled while connected")
    time.sleep(1.5)
    check(program.button(10) == ("Trennen", "1") and board.holders(),
          "the link stays open while no byte arrives")

    program.inspect("click", 10)
    check(released(program), "releasing the button reads \"Verbinden\"")
    check(at_rest(program.status()), "disconnecting shows the status bar at rest")
    check(wait_until(lambda: not board.holders(), 5), "disconnecting lets the port go",
          board.holders())
    check(program.control(6).get("enabled") == "1" and program.control(7).get("enabled") == "1",
          "PortCombo and BaudCombo are enabled again")
    check_closes_with_0(program)


def sweep_on_screen(program, sweep):
    """Columns at which the picture view does not show the sweep's trace
    pixel."""
    window = program.inspect("window")
    left, top = int(window["client_x"]), int(window["client_y"])
    raw = os.path.join(ARGS.out, "plotview.rgb")
    subprocess.run(["import", "-window", "root", "-crop", "1000x256+%d+%d" % (left, top),
                    "-depth", "8", "rgb:" + raw], check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(raw, "rb") as f:
        pixels = f.read()
    wrong = []
    for x in range(1000):
        y = 255 - sweep[x]
        at = (y * 1000 + x) * 3
        if tuple(pixels[at:at + 3]) != TRACE:
            wrong.append(x)
    return wrong


def case_stream(program, board):
    rng = random.Random(20261211)
    stream = bytearray()

    def send(count, rate):
        data = rng.randbytes(count)
        stream.extend(data)
        board.send(data, rate)

    program.inspect("window")
    connect(program, "COM%d" % PORT)
    if not check(connected(program, board), "connected to COM%d" % PORT):
        return
    # Segments: at the line rate of 921600 baud, then as fast as the
    # pseudo-terminal takes them. All are taken by the program well within a
    # second (checked below). Consecutive sizes differ, so a figure that did
    # not change cannot pass for the next one.
    segments = [(50000, LINE_RATE), (50037, LINE_RATE), (31000, LINE_RATE), (150000, None),
                (200000, None), (0, None), (7, None)]
    previous = 0
    counted = 0
    time.sleep(1.2)
    for count, rate in segments + [(None, None)]:
        # The marker: alone on the line after a quiet gap, it closes the period.
        marked = time.monotonic()
        send(1, None)
        if not check(taken(board, 5) is not None, "the program takes the marker byte"):
            return
        if count:
            send(count, rate)
            took = taken(board, 5)
            check(took is not None and time.monotonic() - marked < 0.9,
                  "%d bytes%s taken within the second" % (
                      count, " at %d bytes/s" % rate if rate else ""),
                  "%.3f s" % (time.monotonic() - marked))
        # The figure of this marker: the segment before it and the marker.
        expected = previous + 1
        shown = wait_until(lambda: program.status().get("text.1"), 5)
        check(shown == "%d Werte/s" % expected, "the figure counts every byte of the period",
              "%s, expected %d" % (shown, expected))
        try:
            counted += int(shown.split()[0])
        except (AttributeError, ValueError, IndexError):
            pass
        previous = count or 0
        while time.monotonic() - marked < 1.5:
            time.sleep(0.01)
    check(counted == len(stream),
          "the figures add up to all %d bytes sent" % len(stream), counted)

    complete = len(stream) // SWEEP
    sweep = stream[(complete - 1) * SWEEP:complete * SWEEP]
    time.sleep(0.5)
    wrong = sweep_on_screen(program, sweep)
    check(not wrong, "the last sweep on the screen is the stream's sweep %d" % complete,
          "%d columns differ, first %s" % (len(wrong), wrong[:5]))

    program.inspect("click", 10)
    check(released(program), "releasing the button reads \"Verbinden\"")
    check(at_rest(program.status()), "disconnecting shows the status bar at rest")
    time.sleep(0.5)
    check(not sweep_on_screen(program, sweep), "disconnecting leaves the picture as it was")
    check_closes_with_0(program)


def case_bad_port(program, board):
    dosdevices = os.path.join(os.environ["WINEPREFIX"], "dosdevices")
    links = [os.path.join(dosdevices, name) for name in (NAME_59, NAME_60)]
    try:
        for link in links:
            if os.path.lexists(link):
                os.unlink(link)
            os.symlink(board.path, link)
        program.inspect("window")
        for what, name in (("an unknown port", "COM55"), ("an empty name", ""),
                           ("a name with a leading blank", " COM%d" % PORT),
                           ("a device name of 60 characters", NAME_60)):
            connect(program, name)
            # The button is down for at most the pass that tries to open.
            check(released(program), "%s releases the button" % what, program.button(10))
            check(not board.holders(), "%s opens nothing" % what)
            check(program.running(), "the program keeps running after %s" % what)
        check(at_rest(program.status()), "a failed open leaves the status bar at rest")

        connect(program, NAME_59 + "-ignored")
        check(connected(program, board),
              "a name of more than 59 characters opens the device named by the first 59")
        program.inspect("click", 10)
        check(released(program), "and releasing the button closes it")
        check(wait_until(lambda: not board.holders(), 5), "the device is let go")
        check_closes_with_0(program)
    finally:
        for link in links:
            if os.path.lexists(link):
                os.unlink(link)


def case_hangup(program, board, other):
    program.inspect("window")
    connect(program, "COM%d" % PORT)
    if not check(connected(program, board), "connected to COM%d" % PORT):
        return
    time.sleep(1.1)
    board.send(ptyboard.pattern(0, 5000), LINE_RATE)
    check(taken(board, 5) is not None, "bytes arrive")
    check(program.status().get("text.1") != "0 Werte/s", "the figures show them")
    board.close()
    check(released(program), "closing the other end releases the button", program.button(10))
    check(at_rest(program.status()), "and shows the status bar at rest")
    check(program.control(6).get("enabled") == "1", "PortCombo can be used again")
    check(program.running() and program.inspect("window").get("visible") == "1",
          "the program keeps running")

    connect(program, "COM%d" % OTHER_PORT)
    check(connected(program, other), "it connects to COM%d afterwards" % OTHER_PORT)
    time.sleep(1.1)
    other.send(ptyboard.pattern(0, 3000), LINE_RATE)
    check(taken(other, 5) is not None, "and takes the bytes arriving there")
    check(wait_until(lambda: program.status().get("text.1") not in (None, "0 Werte/s"), 5),
          "and counts them")
    check_closes_with_0(program)


def case_close(program, board):
    program.inspect("window")
    connect(program, "COM%d" % PORT)
    if not check(connected(program, board), "connected to COM%d" % PORT):
        return
    stop = threading.Event()

    def feed():
        position = 0
        while not stop.is_set() and not board.closed:
            try:
                board.send(ptyboard.pattern(position, 4608), LINE_RATE)
            except OSError:
                return
            position += 4608

    feeder = threading.Thread(target=feed, daemon=True)
    feeder.start()
    time.sleep(1.0)
    rc = program.close()
    check(rc == 0, "closing the window while connected ends the program with exit code 0", rc)
    stop.set()
    check(wait_until(lambda: not board.holders(), 5), "the port is let go", board.holders())
    feeder.join(10)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("case", choices=["connect", "stream", "bad_port", "hangup", "close"])
    ARGS = parser.parse_args()
    os.makedirs(ARGS.out, exist_ok=True)

    board = ptyboard.PtyBoard()
    other = None
    map_port(PORT, board)
    if ARGS.case == "hangup":
        other = ptyboard.PtyBoard()
        map_port(OTHER_PORT, other)
    program = Program(ARGS.build, ARGS.out)
    try:
        if ARGS.case == "hangup":
            case_hangup(program, board, other)
        else:
            globals()["case_" + ARGS.case](program, board)
    finally:
        program.stop()
        board.close()
        if other is not None:
            other.close()
            ptyboard.unmap_com_port(REPO, OTHER_PORT,
                                    os.path.join(ARGS.out, "unmap-com%d.log" % OTHER_PORT))
    return checks.finish("serial " + ARGS.case)


if __name__ == "__main__":
    sys.exit(main())
