#!/usr/bin/env python3
"""Serial benchmark of the Windows build under Wine (run by
scripts/bench-serial.sh, which sets up the Wine environment).

A pseudo-terminal is mapped as a COM port. serial_bench.exe runs the
program's start-up and main loop against it and reports passes a second and
processor use, disconnected and connected without data, and then receives a
series of streams fed here at rising rates, checking every byte against the
known pattern. The real kurvomat.exe is then started, connected through
winremote.exe, and its processor use while connected and idle is read from
/proc. Prints a Markdown report.
"""
import argparse
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ptyboard  # noqa: E402

PORT_NUMBER = 7
# Feed rates in bytes a second; None is as fast as the pseudo-terminal takes
# the bytes. 92160 and 184320 are the line rates of 921600 and 1843200 baud.
RATES = [92160, 184320, 500000, 1000000, 1250000, 1500000, 1843200, 4000000, None]
# A feed counts as kept up with when the pseudo-terminal took it at this share
# of the rate asked: the kernel holds the writer back while the reader is
# behind, so over a pseudo-terminal a slow reader slows the feed instead of
# losing bytes.
KEPT_UP = 0.98
FEED_SECONDS = 3.0
UNPACED_BYTES = 24000000
MODES = {0: "Oszilloskop", 1: "schneller Plot"}


def wait_for_line(path, pattern, seconds, process=None):
    end = time.monotonic() + seconds
    regex = re.compile(pattern)
    while time.monotonic() < end:
        try:
            with open(path, errors="replace") as f:
                for line in f:
                    m = regex.search(line)
                    if m:
                        return m
        except OSError:
            pass
        if process is not None and process.poll() is not None:
            break
        time.sleep(0.02)
    return None


def fields(line):
    return dict(kv.split("=", 1) for kv in line.split() if "=" in kv)


def run_bench(build, out, mode, idle_ms):
    board = ptyboard.PtyBoard()
    if not ptyboard.map_com_port(REPO, PORT_NUMBER, board.path, os.path.join(out, "map.log")):
        sys.exit("could not map COM%d to %s" % (PORT_NUMBER, board.path))
    sizes = [int(r * FEED_SECONDS) if r else UNPACED_BYTES for r in RATES]
    log = os.path.join(out, "serial_bench-%d.log" % mode)
    with open(log, "w") as f:
        bench = subprocess.Popen(
            ["wine", os.path.join(build, "serial_bench.exe"), "COM%d" % PORT_NUMBER, str(mode),
             str(idle_ms)] + [str(s) for s in sizes],
            stdout=f, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    results = []
    position = 0
    for k, (rate, size) in enumerate(zip(RATES, sizes)):
        if not wait_for_line(log, r"^ready %d\b" % k, 60, bench):
            bench.kill()
            sys.exit("serial_bench did not get ready for stream %d, see %s" % (k, log))
        seconds = board.send(ptyboard.pattern(position, size), rate)
        position += size
        m = wait_for_line(log, r"^segment %d .*" % k, 60, bench)
        if not m:
            bench.kill()
            sys.exit("serial_bench reported nothing for stream %d, see %s" % (k, log))
        got = fields(m.group(0))
        results.append((rate, size, size / seconds, got))
    bench.wait(60)
    board.close()
    phases = {}
    operations = []
    with open(log, errors="replace") as f:
        for line in f:
            word = line.split(" ", 1)[0]
            if word in ("disconnected", "connected_idle"):
                phases[word] = fields(line)
            elif word == "operation":
                operations.append(fields(line))
    return phases, results, operations


def real_program_idle_cpu(build, out, seconds):
    """Processor use of kurvomat.exe itself while connected and idle."""
    board = ptyboard.PtyBoard()
    if not ptyboard.map_com_port(REPO, PORT_NUMBER, board.path, os.path.join(out, "map.log")):
        sys.exit("could not map COM%d" % PORT_NUMBER)
    with open(os.path.join(out, "kurvomat.log"), "w") as f:
        program = subprocess.Popen(["wine", os.path.join(build, "kurvomat.exe")], stdout=f,
                                   stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    inspect = os.path.join(build, "winremote.exe")

    def winremote(*args):
        with open(os.path.join(out, "winremote.log"), "a") as f:
            subprocess.call(["wine", inspect] + list(args), stdout=f, stderr=subprocess.STDOUT,
                            stdin=subprocess.DEVNULL)

    def cpu_of(pid):
        with open("/proc/%d/stat" % pid) as f:
            parts = f.read().rsplit(")", 1)[1].split()
        return (int(parts[11]) + int(parts[12])) / os.sysconf("SC_CLK_TCK")

    def measure():
        before, start = cpu_of(program.pid), time.monotonic()
        time.sleep(seconds)
        return 100.0 * (cpu_of(program.pid) - before) / (time.monotonic() - start)

    winremote("window")
    winremote("settext", "6", "COM%d" % PORT_NUMBER)
    time.sleep(1)
    idle = measure()
    winremote("click", "10")
    time.sleep(1)
    connected = measure() if board.holders() else None
    winremote("click", "10")
    winremote("close")
    program.wait(30)
    board.close()
    return idle, connected


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="the Windows build directory")
    parser.add_argument("--out", required=True, help="folder for logs")
    parser.add_argument("--idle-ms", type=int, default=3000)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)

    report = ["| Mode | Feed rate asked (bytes/s) | Fed (bytes/s) | Kept up | Bytes | "
              "Arrived intact | Received (bytes/s) | Chunks | Largest chunk | Passes |",
              "|---|---|---|---|---|---|---|---|---|---|"]
    loop = []
    best = {}
    costs = []
    for mode in (0, 1):
        phases, results, operations = run_bench(args.build, args.out, mode, args.idle_ms)
        if mode == 0:
            costs = operations
        for name, label in (("disconnected", "disconnected"),
                            ("connected_idle", "connected, no data")):
            p = phases.get(name, {})
            loop.append("| %s | %s | %s | %s |" % (
                MODES[mode] + ", " + label, p.get("passes_per_second", "?"),
                p.get("cpu_percent", "?"), p.get("seconds", "?")))
        for rate, size, fed, got in results:
            intact = got.get("bytes") == str(size) and got.get("errors") == "0"
            kept_up = rate is None or fed >= KEPT_UP * rate
            if intact and kept_up:
                best[mode] = max(best.get(mode, 0), fed)
            report.append("| %s | %s | %.0f | %s | %d | %s | %s | %s | %s | %s |" % (
                MODES[mode], "%d" % rate if rate else "unpaced", fed,
                "yes" if kept_up else "no", size,
                "yes" if intact else "NO (%s bytes, %s errors)" % (got.get("bytes"),
                                                                    got.get("errors")),
                got.get("bytes_per_second"), got.get("chunks"), got.get("largest_chunk"),
                got.get("passes")))
    idle, connected = real_program_idle_cpu(args.build, args.out, 5.0)

    print("## Main loop (serial_bench.exe)\n")
    print("| State | Passes a second | Processor use (% of one core) | Seconds measured |")
    print("|---|---|---|---|")
    print("\n".join(loop))
    print("\n## Single operations while connected (Oszilloskop), mean time\n")
    print("| Operation | Microseconds |")
    print("|---|---|")
    for op in costs:
        print("| %s | %s |" % (op.get("name"), op.get("microseconds")))
    print("\n## kurvomat.exe, processor use from /proc\n")
    print("| State | Processor use (% of one core) |")
    print("|---|---|")
    print("| disconnected | %.1f |" % idle)
    print("| connected, no data | %s |" % ("%.1f" % connected if connected is not None
                                           else "port not opened"))
    print("\n## Streams through the pseudo-terminal\n")
    print("\n".join(report))
    print("\n## Highest feed rate kept up with, every byte arriving intact\n")
    for mode in (0, 1):
        print("- %s: %.0f bytes a second" % (MODES[mode], best.get(mode, 0)))
    return 0 if best.get(0, 0) >= 1843200 else 1


REPO = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

if __name__ == "__main__":
    sys.exit(main())
