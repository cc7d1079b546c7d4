#!/bin/sh
# Where the start and the open of a large page spend their time, for the editor and for
# FeatherPad on one private X server: the whole machine is sampled (perf record -a, on
# the monotonic clock mapwatch times with), and the samples that fall between the exec
# and the main window's map, between Enter in the file dialog and the answer to the first
# ping after it, and (the editor) between Ctrl+H and the preview painted, are split by process (the program, the X server, the rest) and,
# inside the program, by what ran: the dynamic loader, the kernel on the program's behalf
# (page faults, mmap, reads), Qt, fonts (fontconfig, FreeType, HarfBuzz), the program's
# own code and the other libraries. Wall time the program's samples do not fill is time it
# waited (for the X server, the disk, a timer).
#
#   bench/startup/trace.sh [BUILD_DIR] [ROUNDS]
#
# TRACE_KEEP=DIR keeps each run's profile (edN.data, fpN.data) and mapwatch log for perf report.
#
# Needs what startup.sh needs, and perf (linux-perf) allowed to sample the whole machine
# (root, or kernel.perf_event_paranoid <= 0).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
rounds=${2:-3}
editor="$build/bin/brisko-editor"
[ -x "$editor" ] || { echo "no $editor: build first" >&2; exit 1; }
command -v perf >/dev/null || { echo "perf is not installed (linux-perf)" >&2; exit 1; }

. "$here/common.sh"

# One traced run: mapwatch's own lines go to $out.log, the samples to $out.data.
traced() { # out page mapwatch-arguments...
    out=$1 page=$2 label=$(basename "$1")
    shift 2
    fresh
    perf record -a -g -F 2999 -k CLOCK_MONOTONIC -o "$out.data" -q -- \
        env MAPWATCH_TRACE=1 "$work/mapwatch" -o "$work/pages/$page" "$@" \
        >"$out.out" 2>"$out.log" </dev/null
    cat "$out.out" >>"$out.log"
    perf script -i "$out.data" -F comm,pid,time,ip,dso -G 2>/dev/null | python3 "$here/trace_split.py" "$out.log" "$label" 2999
}

# FeatherPad's first start writes its configuration; one untimed start of each first.
fresh
"$work/mapwatch" "Brisko HTML Editor" 200 20000 "$editor" >/dev/null
fresh
"$work/mapwatch" "Untitled" 200 20000 featherpad -s >/dev/null

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for r in $(seq "$rounds"); do
    traced "$work/ed$r" bigpage.html "Brisko HTML Editor" 1000 20000 "$editor"
    traced "$work/fp$r" bigpage.html "Untitled" 1000 20000 featherpad -s
done
# The editor's preview of a saved 50 KB page, the first and the second time.
for r in $(seq "$rounds"); do
    traced "$work/pv$r" preview.html -p "Brisko HTML Editor" 1000 20000 "$editor"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
# TRACE_KEEP=DIR keeps the profiles and logs for perf report.
if [ -n "${TRACE_KEEP:-}" ]; then
    mkdir -p "$TRACE_KEEP"
    cp "$work"/*.data "$work"/*.log "$TRACE_KEEP"/
fi
