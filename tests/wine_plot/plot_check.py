#!/usr/bin/env python3
"""Drives the running Windows program's plot modes from outside (under Wine).

Called by plot_e2e.sh once the prefix is up: opens a pseudo-terminal, maps it
as a COM port, starts kurvomat.exe, connects to the port and feeds known
waveforms into it, and checks what the window shows through screenshots
(ImageMagick's import) and winremote.exe:

  - "Oszilloskop" with the threshold 128 on a sine: every column of the shown
    sweep holds the sample the trigger rule puts there;
  - the figures in the status bar after a known number of bytes;
  - "schneller Plot": the trace grows from the left, one sample per chunk;
  - "Plot (0.1s)": its labels and the empty load bar;
  - InfoButton: the two message boxes one after the other, the button up.

Prints one line per check; exits 1 if any failed. Standard library only.
"""
import argparse
import fcntl
import math
import os
import subprocess
import sys
import termios
import time
import tty

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine"))
from window_check import Inspector, check, crop, failures, screenshot, write_png  # noqa: E402

TRACE = (0x00, 0x00, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)
GREY = (0xBB, 0xBB, 0xBB)
PORT_NUMBER = 8
SINE_PERIOD = 250

SEPARATOR = "-" * 85
DESCRIPTION = (
    "Name:\t\t\tKurvomat\r\n"
    "Version: \t\t\t1.0.0.1\r\n"
    "erstellt am: \t\t15.04.2013\r\n"
    "letztes Update: \t\t17.04.2013\r\n"
    "erstellt von: \t\tKurvomat-Entwickler\r\n"
    "E-Mail: \t\t\tkurvomat@example.org\r\n\r\n" + SEPARATOR + "\r\n\r\n"
    "Dieses Programm liest die empfangenen Daten byteweise ein und interpretiert sie als "
    "Binärdaten. Die vertikale Auflösung beträgt 8 Bit (256 Zustände), da immer nur ein Byte "
    "ausgewertet und dargestellt wird. Die Software dient zum Messen von Spannungsverläufen bis "
    "in den unteren KHz-Bereich. \r\n\r\n"
    "Raster-Abstand vertikal:\t32 Pixel (Gesamt: 8 Linien)\r\n"
    "Raster-Abstand horizontal:\t50 Pixel (Gesamt: 20 Linien)\r\n"
    "Breite des Graphen:\t\t1000 Pixel (jeder Pixel stellt ein Messwert dar)\r\n"
    "Höhe des Graphen:\t\t256 Pixel (jeder Pixel stellt ein Zustand dar)\r\n"
    "Typische Zeitauflösung:\t20µs/Pixel (ist für den Arduino möglich)\r\n"
    "maximale Zeitauflösung:\t5,4µs/Pixel (ist für max. darstellbar)\r\n"
    "Triggerung:\t\teinfache Triggerung  möglich (pos. Flanke)\r\n\r\n" + SEPARATOR + "\r\n\r\n"
    "Diese Software ist Freeware und die Nutzung geschieht auf eigene Gefahr. \r\n")
SKETCH_START = "Beispiel für den Arduino-Sketch:\r\n" + SEPARATOR + "\r\n\r\n"
SKETCH_END = "    Serial.write(ADCH);\r\n}\r\n\r\n" + SEPARATOR + "\r\n"


def sine(i):
    """The fed sine: 128 at every multiple of the period, rising there."""
    return int(math.floor(128 + 100 * math.sin(2 * math.pi * i / SINE_PERIOD) + 0.5))


class Line:
    """A pseudo-terminal: the test writes into the master side, the program
    reads the slave side as a COM port."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.path = os.ttyname(self.slave)
        flags = fcntl.fcntl(self.master, fcntl.F_GETFL)
        fcntl.fcntl(self.master, fcntl.F_SETFL, flags | os.O_NONBLOCK)

    def unread(self):
        """Bytes written and not yet read by the program."""
        data = fcntl.ioctl(self.slave, termios.FIONREAD, b"\0\0\0\0")
        return int.from_bytes(data, sys.byteorder)

    def send(self, data, seconds=30):
        """Writes all bytes without blocking; waits while the terminal is full."""
        end = time.time() + seconds
        data = bytes(data)
        while data:
            try:
                written = os.write(self.master, data)
                data = data[written:]
            except BlockingIOError:
                if time.time() > end:
                    return False
                time.sleep(0.002)
        return True

    def drained(self, seconds=30):
        """Waits until the program has read everything, then a little more
        for it to handle the last chunk."""
        end = time.time() + seconds
        while self.unread() > 0:
            if time.time() > end:
                return False
            time.sleep(0.01)
        time.sleep(0.3)
        return True

    def close(self):
        os.close(self.master)
        os.close(self.slave)


def picture(window, out, name):
    """The 1000 x 256 picture view as RGB rows; saved as OUT/NAME.png."""
    image = screenshot(os.path.join(out, "screen.ppm"))
    rows = crop(image, int(window["client_x"]), int(window["client_y"]), 1000, 256)
    write_png(os.path.join(out, name + ".png"), rows, 1000)
    os.remove(os.path.join(out, "screen.ppm"))
    return rows


def pixel(rows, x, y):
    return tuple(rows[y][x * 3:x * 3 + 3])


def grid(x, y):
    return GREY if (x % 50 == 0 and x <= 950) or (y % 32 == 0 and y <= 224) else WHITE


def trace_faults(rows, values):
    """Pixels that do not show the trace of these samples, drawn from column
    0 on: each sample's own pixel in the trace colour, no gap between two
    samples, trace pixels only between the rows of neighbouring samples, and
    the blank grid everywhere else."""
    faults = []
    for x in range(1000):
        near = values[max(0, x - 1):x + 2] if x < len(values) else []
        own = values[x] if x < len(values) else None
        for y in range(256):
            got = pixel(rows, x, y)
            if own is not None and y == 255 - own:
                if got != TRACE:
                    faults.append((x, y, got, "sample %d missing" % own))
            elif got == TRACE:
                if not near or not 255 - max(near) <= y <= 255 - min(near):
                    faults.append((x, y, got, "stray trace pixel"))
            elif got != grid(x, y):
                faults.append((x, y, got, "not the grid"))
        if 0 < x < len(values):
            for y in range(255 - max(values[x - 1], values[x]), 256 - min(values[x - 1], values[x])):
                if TRACE not in (pixel(rows, x - 1, y), pixel(rows, x, y)):
                    faults.append((x, y, pixel(rows, x, y), "gap in the line"))
    return faults


def wait_status(inspect, field, text, seconds=10):
    end = time.time() + seconds
    while True:
        s = inspect.run("status")
        if s.get("text.%d" % field) == text or time.time() > end:
            return s
        time.sleep(0.2)


def check_oscilloscope(inspect, line, window, out):
    inspect.run("settext", 9, "128")
    # Eight sweeps and more of the sine; the first sweep after start-up
    # starts at once, every later one after a 128 followed by a larger sample.
    stream = [sine(i) for i in range(SINE_PERIOD * 45)]
    check(line.send(stream) and line.drained(), "the sine is read")
    expected = [sine(i + 1) for i in range(1001)]
    faults = trace_faults(picture(window, out, "oscilloscope"), expected[:1000])
    check(not faults, "'Oszilloskop' with threshold 128 shows the triggered sweep column by column",
          "%d pixels differ, first: %s" % (len(faults), faults[:5]))


def check_figures(inspect, line):
    inspect.run("click", 11)  # pause: the figures go on, nothing is drawn
    time.sleep(1.2)
    line.send([1])
    line.drained()
    # 9999 bytes within the next second, then one more after it: the update
    # at that last chunk counts 10000 bytes.
    line.send([50] * 9999)
    line.drained()
    time.sleep(1.0)
    line.send([1])
    s = wait_status(inspect, 1, "10000 Werte/s")
    got = (s.get("text.0"), s.get("text.1"), s.get("text.2"), s.get("progress_pos"),
           s.get("progress_max"))
    check(got == ("10 FPS", "10000 Werte/s", "5.00 ms/DIV", "10000", "92160"),
          "the status bar shows the figures of 10000 bytes in a second", str(got))
    inspect.run("click", 11)


def check_fast_plot(inspect, line, window, out):
    inspect.run("select", 8, 1)
    values = [30 + (i * 37) % 190 for i in range(200)]
    sent = 0
    for count in (120, 200):
        # One byte a chunk: each is read before the next is written.
        for value in values[sent:count]:
            line.send([value])
            deadline = time.time() + 5
            while line.unread() > 0 and time.time() < deadline:
                time.sleep(0.002)
            time.sleep(0.02)
        sent = count
        time.sleep(0.3)
        faults = trace_faults(picture(window, out, "fast-plot-%d" % count), values[:count])
        check(not faults, "'schneller Plot' shows %d samples grown from the left" % count,
              "%d pixels differ, first: %s" % (len(faults), faults[:5]))


def check_timed_labels(inspect, line):
    inspect.run("select", 8, 3)
    for value in (100, 120, 140):
        line.send([value])
        time.sleep(0.25)
    s = wait_status(inspect, 0, "100 s/FPS")
    got = (s.get("text.0"), s.get("text.1"), s.get("text.2"), s.get("progress_pos"),
           s.get("progress_min"), s.get("progress_max"))
    check(got == ("100 s/FPS", "1,6 min/FPS", "5.0 s/DIV", "0", "0", "10"),
          "'Plot (0.1s)' shows its labels and an empty bar", str(got))


def check_information(inspect):
    inspect.run("click", 12)
    boxes = []
    for expected in ("description", "sketch"):
        box = inspect.run("messagebox", wait=20)
        if not check(box.get("found") == "1", "the %s box opens" % expected):
            return
        button = inspect.run("control", 12)
        boxes.append((box, button.get("checked")))
        inspect.run("closebox")
    (first, first_button), (second, second_button) = boxes
    check(first.get("title") == "Kurvomat - 1.0.0.1" and first.get("text") == DESCRIPTION,
          "the first box holds the description", repr(first.get("text", "")[:200]))
    text = second.get("text", "")
    check(second.get("title") == "Kurvomat - 1.0.0.1" and text.startswith(SKETCH_START) and
          text.endswith(SKETCH_END) and "Serial.begin(921600);\t// serielle" in text,
          "the second box holds the sketch", repr(text[:200]))
    check(first_button == "0" and second_button == "0", "InfoButton is up while the boxes show")
    again = inspect.run("messagebox", wait=2)
    check(again.get("found") != "1", "no third box")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    here = os.path.dirname(os.path.abspath(__file__))
    env_script = os.path.join(here, "..", "..", "scripts", "wine-env.sh")
    inspect = Inspector(os.path.join(args.build, "winremote.exe"))

    line = Line()
    # The wineserver restarted by the mapping writes to this log, not to ours.
    wine_log = open(os.path.join(args.out, "wine-env.log"), "wb")
    mapped = subprocess.run(["bash", "-c", '. "$0"; wine_env_map_com %d "$1"' % PORT_NUMBER,
                             env_script, line.path],
                            env=dict(os.environ, KURVOMAT_WINE_NOSTART="1"), stdout=wine_log,
                            stderr=subprocess.STDOUT)
    if not check(mapped.returncode == 0, "the pseudo-terminal is mapped as COM%d" % PORT_NUMBER):
        return 1
    log = open(os.path.join(args.out, "kurvomat.log"), "wb")
    program = subprocess.Popen(["wine", os.path.join(args.build, "kurvomat.exe")], stdout=log,
                               stderr=subprocess.STDOUT)
    try:
        window = inspect.run("window", wait=60)
        if not check(window["_rc"] == 0, "the window appears"):
            return 1
        inspect.run("settext", 6, "COM%d" % PORT_NUMBER)
        inspect.run("click", 10)
        time.sleep(0.5)
        c = inspect.run("control", 10)
        if not check(c.get("checked") == "1" and c.get("text") == "Trennen",
                     "the link to COM%d is open" % PORT_NUMBER, str(c.get("text"))):
            return 1
        check_oscilloscope(inspect, line, window, args.out)
        check_figures(inspect, line)
        check_fast_plot(inspect, line, window, args.out)
        check_timed_labels(inspect, line)
        check_information(inspect)
        inspect.run("click", 10)
        inspect.run("close")
        try:
            rc = program.wait(30)
        except subprocess.TimeoutExpired:
            rc = None
        check(rc == 0, "kurvomat.exe ends with exit code 0", str(rc))
    finally:
        if program.poll() is None:
            program.kill()
        line.close()
        subprocess.run(["bash", "-c", '. "$0"; wine_env_unmap_com %d' % PORT_NUMBER, env_script],
                       env=dict(os.environ, KURVOMAT_WINE_NOSTART="1"), stdout=wine_log,
                       stderr=subprocess.STDOUT)
    print("%d checks failed" % len(failures) if failures else "all plot checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
