#!/usr/bin/env python3
"""Checks the running Windows program's window from outside (under Wine).

Called by window_e2e.sh while kurvomat.exe runs: looks at the window, the
status bar and the seven controls through winremote.exe, takes a screenshot
of the screen (ImageMagick's import), checks the blank grid in the picture
view pixel by pixel and saves the client area as OUT/window.png. Then it acts
as a user: rests the mouse on controls for their tooltips and presses Tab
(xdotool), chooses another plot mode, which disables the trigger combo, and
presses the info button, whose two message boxes it checks and closes. Prints
one line per check; exits 1 if any failed. Standard library only.
"""
import argparse
import os
import struct
import subprocess
import sys
import time
import zlib

from checks import check, failures, finish  # noqa: F401 (failures: for other checkers)

TITLE = "Kurvomat - 1.0.0.1"
WHITE = (0xFF, 0xFF, 0xFF)
GREY = (0xBB, 0xBB, 0xBB)
BAUD_RATES = [100, 110, 300, 600, 1200, 2400, 4800, 7200, 9600, 14400, 19200, 28800, 38400,
              43000, 56000, 57600, 115200, 128000, 230400, 250000, 256000, 460800, 921600,
              1843200]
MODES = ["Oszilloskop", "schneller Plot", "Plot (0.01s)", "Plot (0.1s)", "Plot (0.5s)",
         "Plot (1.0s)", "Plot (2.0s)", "Plot (5.0s)"]
# number, kind, x, width, caption, tooltip
CONTROLS = [
    (6, "editable", 480, 70, None, "verfügbare COM-Ports"),
    (7, "editable", 560, 70, None, "Baudrate"),
    (10, "toggle", 640, 70, "Verbinden", "Verbindung mit COM-Gerät herstellen"),
    (8, "dropdown", 720, 110, None, "Plottmodus"),
    (9, "editable", 840, 50, None, "Triggerschwelle"),
    (11, "toggle", 900, 50, "Pause", "Plottvorgang pausieren"),
    (12, "toggle", 955, 40, "Info", "Informationen"),
]
WS_CAPTION_SYSMENU_MINIMIZEBOX = 0x00C00000 | 0x00080000 | 0x00020000
WS_THICKFRAME = 0x00040000
WS_MAXIMIZEBOX = 0x00010000
PBS_SMOOTH = 0x01
CS_DBLCLKS = 0x0008
# Style bits of each kind of control as a combo keeps them: it hands
# WS_BORDER and WS_VSCROLL on to its parts and drops them itself.
WS_CHILD_VISIBLE = 0x50000000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
STYLES = {
    "editable": WS_CHILD_VISIBLE | WS_GROUP | 0x42,  # CBS_DROPDOWN | CBS_AUTOHSCROLL
    "dropdown": WS_CHILD_VISIBLE | WS_GROUP | WS_TABSTOP | 0x3,  # CBS_DROPDOWNLIST
    "toggle": WS_CHILD_VISIBLE | WS_GROUP | WS_TABSTOP | 0x1003,  # BS_AUTOCHECKBOX | BS_PUSHLIKE
}

def unescape(value):
    out = []
    i = 0
    while i < len(value):
        c = value[i]
        if c == "\\" and i + 1 < len(value):
            i += 1
            out.append({"n": "\n", "r": "\r", "t": "\t"}.get(value[i], value[i]))
        else:
            out.append(c)
        i += 1
    return "".join(out)


class Inspector:
    def __init__(self, exe):
        self.exe = exe

    def run(self, *args, wait=10):
        result = subprocess.run(["wine", self.exe, "--wait", str(wait)] + [str(a) for a in args],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120)
        values = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            key, sep, value = line.rstrip("\r").partition("=")
            if sep:
                values[key] = unescape(value)
        values["_rc"] = result.returncode
        return values

    def items(self, values):
        return [values["item.%d" % i] for i in range(int(values.get("count", 0)))]


# ---- screenshots ----------------------------------------------------------------


def read_ppm(path):
    """Width, height and RGB bytes of a binary PPM file."""
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos:pos + width * height * 3]


def screenshot(path):
    subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:" + path], check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return read_ppm(path)


def crop(image, left, top, width, height):
    screen_width, _, pixels = image
    rows = []
    for y in range(top, top + height):
        start = (y * screen_width + left) * 3
        rows.append(pixels[start:start + width * 3])
    return rows


def write_png(path, rows, width):
    raw = b"".join(b"\x00" + row for row in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(rows), 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def expected_grid(x, y):
    vertical = x % 50 == 0 and x <= 950
    horizontal = y % 32 == 0 and y <= 224
    return GREY if vertical or horizontal else WHITE


def grid_faults(rows):
    """Pixels of the 1000 x 256 picture that differ from the blank grid."""
    faults = []
    black = 0
    for y in range(256):
        row = rows[y]
        for x in range(1000):
            pixel = tuple(row[x * 3:x * 3 + 3])
            if pixel == (0, 0, 0):
                black += 1
            want = expected_grid(x, y)
            if pixel != want:
                faults.append((x, y, pixel, want))
    return faults, black


# ---- checks ----------------------------------------------------------------------


def check_window(inspect):
    w = inspect.run("window", wait=60)
    if not check(w["_rc"] == 0, "the window titled %r appears" % TITLE):
        return None
    check(w["title"] == TITLE, "title", w["title"])
    check((int(w["client_width"]), int(w["client_height"])) == (1000, 279),
          "client area 1000 x 279", "%sx%s" % (w["client_width"], w["client_height"]))
    style = int(w["style"], 16)
    check(style & WS_CAPTION_SYSMENU_MINIMIZEBOX == WS_CAPTION_SYSMENU_MINIMIZEBOX,
          "caption, system menu and minimise box", w["style"])
    check(style & (WS_THICKFRAME | WS_MAXIMIZEBOX) == 0, "no sizing border, no maximise box",
          w["style"])
    check(w["visible"] == "1" and w["minimized"] == "0" and w["maximized"] == "0",
          "shown in its normal state")
    sw, sh = int(w["screen_width"]), int(w["screen_height"])
    ow, oh = int(w["width"]), int(w["height"])
    check((int(w["x"]), int(w["y"])) == ((sw - ow) // 2, (sh - oh) // 2),
          "centred on the screen", "at %s,%s, outer %dx%d, screen %dx%d" %
          (w["x"], w["y"], ow, oh, sw, sh))
    check(int(w["class_style"], 16) & CS_DBLCLKS, "the window class takes double clicks")
    return w


def check_status(inspect):
    s = inspect.run("status")
    if not check(s.get("found") == "1", "the status bar exists"):
        return
    edges = [int(s["edge.%d" % i]) for i in range(int(s["parts"]))]
    check(edges == [70, 170, 270, 390, 470], "status field edges", str(edges))
    for field, text in ((0, "0 FPS"), (1, "0 Werte/s"), (2, "0 ms/DIV")):
        check(s["text.%d" % field] == text and s["align.%d" % field] == "centre",
              "field %d shows %r centred" % (field, text),
              "%r %s" % (s["text.%d" % field], s["align.%d" % field]))
    # While visual styles are active (Wine's default theme) the label gets
    # four trailing blanks.
    raw = s["raw.3"]
    check(raw in ("\t\tCOM-Auslastung: ", "\t\tCOM-Auslastung:     ") and
          s["text.3"] == "COM-Auslastung: " and s["noborder.3"] == "1",
          "field 3 shows 'COM-Auslastung: ' right-aligned without border",
          "%r noborder=%s" % (raw, s["noborder.3"]))
    check(s["progress"] == "4", "the progress bar sits in field 4", s["progress"])
    check((s.get("progress_pos"), s.get("progress_min"), s.get("progress_max")) == ("0", "0", "10"),
          "progress 0 in 0..10")
    check(int(s.get("progress_style", "0"), 16) & PBS_SMOOTH, "the progress bar is smooth")


def check_controls(inspect, ports):
    for number, kind, x, width, caption, tooltip in CONTROLS:
        c = inspect.run("control", number)
        if not check(c.get("found") == "1", "control %d exists" % number):
            continue
        where = (c["kind"], int(c["x"]), int(c["y"]), int(c["width"]), int(c["height"]),
                 c["parent"])
        check(where == (kind, x, 3, width, 18, "statusbar"),
              "control %d: %s at %d,3 size %dx18 in the status bar" % (number, kind, x, width),
              str(where))
        check(c["enabled"] == "1", "control %d is enabled" % number)
        style = int(c["style"], 16)
        check(style & STYLES[kind] == STYLES[kind], "control %d has the styles of its kind" % number,
              "%#x lacks %#x" % (style, STYLES[kind] & ~style))

        if caption is not None:
            check(c["text"] == caption and c["checked"] == "0",
                  "control %d reads %r and is up" % (number, caption),
                  "%r checked=%s" % (c["text"], c["checked"]))
        t = inspect.run("tooltip", number)
        check(t.get("text") == tooltip, "control %d has the tooltip %r" % (number, tooltip),
              repr(t.get("text")))
        if kind == "editable":
            check(t.get("edit_text") == tooltip,
                  "the edit field of control %d has the tooltip too" % number,
                  repr(t.get("edit_text")))
        items = inspect.items(c) if kind != "toggle" else None
        if number == 6:
            check(sorted(items) == sorted(ports), "the port combo lists the ports %s" % ports,
                  str(items))
            want = items[0] if items else ""
            check(c["text"] == want and c["selected"] == ("0" if items else "-1"),
                  "the port combo shows the first port", "%r %s" % (c["text"], c["selected"]))
        elif number == 7:
            check(items == [str(rate) for rate in BAUD_RATES], "the baud combo holds 24 rates",
                  str(items))
            check(c["text"] == "921600" and c["selected"] == "-1",
                  "the baud combo shows '921600' with no item selected",
                  "%r %s" % (c["text"], c["selected"]))
        elif number == 8:
            check(items == MODES, "the mode combo holds the 8 modes", str(items))
            check(c["text"] == "Oszilloskop" and c["selected"] == "0",
                  "the mode combo has 'Oszilloskop' selected")
        elif number == 9:
            check(items == ["aus"] + [str(v) for v in range(256)],
                  "the trigger combo holds 'aus' and 0 to 255", "%d items" % len(items))
            check(c["text"] == "aus" and c["selected"] == "-1",
                  "the trigger combo shows 'aus' with no item selected",
                  "%r %s" % (c["text"], c["selected"]))
    v = inspect.run("control", 5)
    check((v.get("kind"), v.get("x"), v.get("y"), v.get("width"), v.get("height"),
           v.get("parent")) == ("static", "0", "0", "1000", "256", "window"),
          "the picture view is a 1000 x 256 picture control at 0,0 of the window")


def check_grid(window, out):
    left, top = int(window["client_x"]), int(window["client_y"])
    faults, black, rows = None, 0, None
    # The first paint may come a moment after the window is found.
    for attempt in range(20):
        image = screenshot(os.path.join(out, "screen.ppm"))
        rows = crop(image, left, top, 1000, 279)
        faults, black = grid_faults(rows)
        if not faults:
            break
        time.sleep(0.5)
    write_png(os.path.join(out, "window.png"), rows, 1000)
    # The whole window with its frame, for the documentation.
    outer = crop(image, int(window["x"]), int(window["y"]), int(window["width"]),
                 int(window["height"]))
    write_png(os.path.join(out, "window-frame.png"), outer, int(window["width"]))
    os.remove(os.path.join(out, "screen.ppm"))
    detail = ""
    if faults:
        detail = "%d pixels differ, first: %s" % (len(faults), faults[:5])
    check(not faults, "the picture view shows the blank grid: white, grey lines at x = 0, 50 "
          ".. 950 and y = 0, 32 .. 224, none at column 999 or row 255", detail)
    check(black == 0, "no black pixel in the picture view", "%d black" % black)


def wait_for(inspect, number, key, value, seconds=10):
    end = time.time() + seconds
    while True:
        c = inspect.run("control", number)
        if c.get(key) == value or time.time() > end:
            return c.get(key) == value
        time.sleep(0.2)


def check_control_rules(inspect):
    inspect.run("select", 8, 1)
    check(wait_for(inspect, 9, "enabled", "0"),
          "choosing 'schneller Plot' disables the trigger combo")
    inspect.run("select", 8, 0)
    check(wait_for(inspect, 9, "enabled", "1"),
          "choosing 'Oszilloskop' again enables the trigger combo")


def hover(inspect, number, dx, dy):
    """Rests the mouse on a point of a control and returns its tooltip."""
    c = inspect.run("control", number)
    x, y = int(c["screen_x"]) + dx, int(c["screen_y"]) + dy
    subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True)
    time.sleep(0.2)
    subprocess.run(["xdotool", "mousemove", str(x + 1), str(y)], check=True)
    end = time.time() + 10
    while True:
        t = inspect.run("tooltip", number)
        if t.get("shown") == "1" or time.time() > end:
            subprocess.run(["xdotool", "mousemove", "0", "0"], check=True)
            return t


def check_hover(inspect):
    t = hover(inspect, 10, 10, 9)
    check(t.get("shown") == "1" and t.get("shown_text") == "Verbindung mit COM-Gerät herstellen",
          "resting the mouse on the connect button shows its tooltip",
          "shown=%s %r" % (t.get("shown"), t.get("shown_text")))
    t = hover(inspect, 7, 8, 9)
    check(t.get("shown") == "1" and t.get("shown_text") == "Baudrate",
          "resting the mouse on the edit field of the baud combo shows its tooltip",
          "shown=%s %r" % (t.get("shown"), t.get("shown_text")))


def focused(inspect):
    for number, *_ in CONTROLS:
        if inspect.run("control", number).get("focus") == "1":
            return number
    return None


def press(keys):
    subprocess.run(["xdotool", "key", keys], check=True)
    time.sleep(0.3)


def check_tab(inspect):
    # Tab until the first control has the focus, then step through the order.
    for _ in range(len(CONTROLS) + 1):
        if focused(inspect) == 6:
            break
        press("Tab")
    order = [focused(inspect)]
    for keys in ("Tab", "Tab", "Tab", "shift+Tab", "shift+Tab", "shift+Tab"):
        press(keys)
        order.append(focused(inspect))
    check(order == [6, 7, 10, 8, 10, 7, 6],
          "Tab and Shift+Tab move the focus through the controls in their order", str(order))


def check_information(inspect):
    inspect.run("click", 12)
    first = inspect.run("messagebox")
    check(first.get("found") == "1" and first.get("title") == TITLE and
          first.get("text", "").startswith("Name:\t\t\tKurvomat\r\n"),
          "the info button opens the description box", repr(first.get("text", "")[:40]))
    check(first.get("owner_is_main") == "1" and first.get("main_enabled") == "0",
          "the box is owned by the main window, which takes no input meanwhile",
          "owner_is_main=%s main_enabled=%s" % (first.get("owner_is_main"),
                                                first.get("main_enabled")))
    check(inspect.run("control", 12).get("checked") == "0",
          "the info button is up while the box is open")
    inspect.run("closebox")
    second = inspect.run("messagebox")
    check(second.get("found") == "1" and second.get("hwnd") != first.get("hwnd") and
          second.get("text", "").startswith("Beispiel für den Arduino-Sketch:\r\n"),
          "closing it opens the sketch box", repr(second.get("text", "")[:40]))
    check(second.get("owner_is_main") == "1" and second.get("main_enabled") == "0",
          "the sketch box is owned by the main window too")
    inspect.run("closebox")
    time.sleep(0.5)
    check(inspect.run("messagebox", wait=1).get("found") == "0", "no further box opens")
    check(wait_for(inspect, 12, "enabled", "1") and
          inspect.run("window").get("enabled") == "1", "the window takes input again")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--winremote", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--ports", default="", help="the ports the registry lists")
    args = parser.parse_args()
    inspect = Inspector(args.winremote)
    window = check_window(inspect)
    if window is None:
        return 1
    check_grid(window, args.out)
    check_status(inspect)
    check_controls(inspect, args.ports.split())
    check_hover(inspect)
    check_tab(inspect)
    check_control_rules(inspect)
    check_information(inspect)
    return finish("window")


if __name__ == "__main__":
    sys.exit(main())
