"""Splits the samples of a whole-machine profile (perf script -F comm,pid,time,ip,dso -G on
standard input) over the moments mapwatch reported in its log: the start (exec to the main
window mapped) and the open (Enter in the file dialog to the answer to the first ping)."""
import re
import sys
from collections import Counter, defaultdict

log_path, label, frequency = sys.argv[1], sys.argv[2], float(sys.argv[3])
log = open(log_path).read()
start = float(re.search(r"start_mono_ms ([\d.]+)", log).group(1))
map_ms = float(re.search(r"map_ms=([\d.]+)", log).group(1))
spans = {"start": (start, start + map_ms)}
enter = re.search(r"open enter ([\d.]+)", log)
ping = re.search(r"ping_ms=([\d.]+)", log)
if enter and ping and float(ping.group(1)) > 0:
    t0 = start + float(enter.group(1))
    spans["open"] = (t0, t0 + float(ping.group(1)))

# Ctrl+H, the first and the second time: the preview painted.
keys = [float(k) for k in re.findall(r"preview key ([\d.]+)", log)]
for n, (key, took) in enumerate(zip(keys, re.findall(r"preview(\d)_ms=([\d.]+)", log)), 1):
    if float(took[1]) > 0:
        spans[f"preview {n}"] = (start + key, start + key + float(took[1]))

PROGRAMS = ("brisko-editor", "featherpad")


def part_of(dso):
    if "kernel" in dso:
        return "kernel"
    if "ld-linux" in dso:
        return "loader"
    if "libQt6" in dso:
        return "Qt"
    if any(f in dso for f in ("fontconfig", "freetype", "harfbuzz", "libexpat", "graphite")):
        return "fonts"
    if any(f in dso for f in ("libbrisko", "brisko-editor", "/featherpad")):
        return "program"
    return "other libraries"


samples = []
program_pids = set()
line_re = re.compile(r"^\s*(.+?)\s+(\d+)\s+([\d.]+):\s*[0-9a-f]*\s*\(([^)]*)\)\s*$")
for line in sys.stdin:
    m = line_re.match(line)
    if not m:
        continue
    comm, pid, t, dso = m.group(1), int(m.group(2)), float(m.group(3)) * 1000.0, m.group(4)
    samples.append((comm, pid, t, dso))
    if comm in PROGRAMS:
        program_pids.add(pid)

ms_per_sample = 1000.0 / frequency
for name, (a, b) in spans.items():
    by_process = Counter()
    parts = Counter()
    others = Counter()
    for comm, pid, t, dso in samples:
        if not (a <= t <= b):
            continue
        if pid in program_pids:
            by_process["program"] += 1
            part = part_of(dso)
            parts[part] += 1
            if part == "other libraries":
                others[dso.rsplit("/", 1)[-1]] += 1
        elif pid == 0:
            continue  # the idle task
        elif comm.startswith("Xvfb"):
            by_process["X server"] += 1
        elif comm.startswith("QtWebEngine") or comm.startswith("Chrome"):
            by_process["browser processes"] += 1
        elif comm in ("mapwatch", "perf"):
            by_process["measuring"] += 1
        else:
            by_process["rest of the machine"] += 1
    wall = b - a
    busy = by_process["program"] * ms_per_sample
    row = ", ".join(f"{k} {v * ms_per_sample:.0f}" for k, v in parts.most_common())
    top = ", ".join(f"{k} {v * ms_per_sample:.0f}" for k, v in others.most_common(4))
    browser = by_process["browser processes"] * ms_per_sample
    print(f"{label} {name}: wall {wall:.0f} ms; program on a core {busy:.0f} ms ({row}); "
          f"X server {by_process['X server'] * ms_per_sample:.0f} ms; "
          + (f"browser processes {browser:.0f} ms; " if browser else "")
          + f"rest of the machine {by_process['rest of the machine'] * ms_per_sample:.0f} ms; "
          f"program waiting {max(0.0, wall - busy):.0f} ms; other libraries: {top}")
