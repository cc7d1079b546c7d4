#!/bin/sh
# The editor side by side with FeatherPad, in alternating runs on a private X server, each
# run with fresh settings: start-up (until the main window is mapped), idle peak memory,
# opening a 999,000-character page (Enter in the file dialog until the title names it, and
# until the program answers input again), and a key typed at the end and at the start of
# that page until it is painted, with every typing aid of the editor on (closing tags too,
# which are off by default). Then the editor's preview of a saved 50 KB page, the first and
# the second time; and memory with work: ten pages of 100 KB opened at the start, then
# (the editor) closed with "Zavřít vše" and handed over again, three times.
#
#   bench/startup/startup.sh [BUILD_DIR] [ROUNDS] [BEFORE_BIN_DIR]
#
# BEFORE_BIN_DIR: a copy of an earlier build's bin folder (cp -a build/bin /tmp/before),
# measured in the same rounds as "before", so a change is judged on one machine in one run.
#
# Needs Xvfb, a C compiler with the X11, XTest and XDamage headers (libx11-dev,
# libxtst-dev, libxdamage-dev) and FeatherPad (apt-get install featherpad).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
rounds=${2:-7}
before=${3:-}
editor="$build/bin/brisko-editor"
[ -x "$editor" ] || { echo "no $editor: build first" >&2; exit 1; }
command -v featherpad >/dev/null || { echo "featherpad is not installed" >&2; exit 1; }

. "$here/common.sh"

run() { # name title program...
    name=$1 title=$2
    shift 2
    fresh
    live=
    # LIVE_PREVIEW=1: the editor types with its live preview on (FeatherPad has none).
    [ "${LIVE_PREVIEW:-0}" = 1 ] && [ "$name" != featherpad ] && live=-l
    line=$("$work/mapwatch" -o "$work/pages/bigpage.html" $live "$title" 2000 20000 "$@") \
        || { echo "$name failed" >&2; return 1; }
    echo "$name $line" | tee -a "$work/results"
}

# One unmeasured start of each warms the file cache.
fresh
"$work/mapwatch" "Brisko HTML Editor" 200 20000 "$editor" >/dev/null
"$work/mapwatch" "Untitled" 200 20000 featherpad -s >/dev/null
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq "$rounds"); do
    [ -z "$before" ] || run before "Brisko HTML Editor" env LD_LIBRARY_PATH="$before" "$before/brisko-editor"
    run brisko "Brisko HTML Editor" "$editor"
    run featherpad "Untitled" featherpad -s
done

# The preview loads the web engine the first time; the second time it is there.
# PREVIEW_RUNS=0 leaves it out.
for i in $(seq "${PREVIEW_RUNS:-3}"); do
    if [ -n "$before" ]; then
        fresh
        "$work/mapwatch" -o "$work/pages/preview.html" -p "Brisko HTML Editor" 1000 20000 \
            env LD_LIBRARY_PATH="$before" "$before/brisko-editor" \
            | sed 's/^/previewbefore /' | tee -a "$work/results"
    fi
    fresh
    "$work/mapwatch" -o "$work/pages/preview.html" -p "Brisko HTML Editor" 1000 20000 "$editor" \
        | sed 's/^/preview /' | tee -a "$work/results"
done

# Memory with work. MEMORY_RUNS=0 leaves it out.
for i in $(seq "${MEMORY_RUNS:-3}"); do
    fresh
    "$work/mapwatch" -m 3 "Brisko HTML Editor" 3000 30000 "$editor" "$work"/ten/page*.html \
        | sed 's/^/memory /' | tee -a "$work/results"
    fresh
    "$work/mapwatch" -m 0 "/page" 3000 30000 featherpad "$work"/ten/page*.html \
        | sed 's/^/memoryfp /' | tee -a "$work/results"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

awk '
function median(a, n,   i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j-1] > a[j]; j--) { t = a[j]; a[j] = a[j-1]; a[j-1] = t }
    return n % 2 ? a[(n+1)/2] : (a[n/2] + a[n/2+1]) / 2
}
{
    for (i = 2; i <= NF; i++) {
        split($i, kv, "=")
        n = ++count[$1, kv[1]]
        v[$1, kv[1], n] = kv[2]
    }
}
function med(who, key,   n, a, i) {
    n = count[who, key]
    for (i = 1; i <= n; i++) a[i] = v[who, key, i]
    return n ? median(a, n) : -1
}
function total(who, key,   n, i, s) {
    n = count[who, key]
    for (i = 1; i <= n; i++) s += v[who, key, i]
    return s
}
function row(label, key, unit, scale,   b, f, o) {
    b = med("brisko", key) / scale; f = med("featherpad", key) / scale
    if (count["before", key]) {
        o = med("before", key) / scale
        printf("| %s | %.1f %s | %.2fx | %.1f %s | %.2fx | %.1f %s |\n", label, o, unit,
            (f > 0 ? o / f : 0), b, unit, (f > 0 ? b / f : 0), f, unit)
    } else
        printf("| %s | %.1f %s | %.1f %s | %.2fx |\n", label, b, unit, f, unit, (f > 0 ? b / f : 0))
}
function previewLine(who, label) {
    if (!count[who, "preview1_ms"]) return
    printf "%s: preview of a saved 50 KB page, median of %d runs: first %.0f ms, second %.0f ms; " \
        "main window kept its X window in %d of %d runs\n", label, count[who, "preview1_ms"],
        med(who, "preview1_ms"), med(who, "preview2_ms"), total(who, "same_window"),
        count[who, "same_window"]
}
END {
    printf "\nmedians of %d runs each\n\n", count["brisko", "map_ms"]
    if (count["before", "map_ms"]) {
        print "| figure (median) | before | ratio | after | ratio | FeatherPad |"
        print "|---|---|---|---|---|---|"
    } else {
        print "| figure (median) | here | FeatherPad | ratio |"
        print "|---|---|---|---|"
    }
    row("exec → main window mapped", "map_ms", "ms", 1)
    row("idle peak RSS, no file", "hwm_kb", "MiB", 1024)
    row("open 999,000 characters: Enter → title shows", "title_ms", "ms", 1)
    row("Enter → answers input again (_NET_WM_PING)", "ping_ms", "ms", 1)
    row("key at the end of the page → repaint", "key_end_ms", "ms", 1)
    row("key at the start of the page → repaint", "key_start_ms", "ms", 1)
    if (count["memory", "ten_kb"]) {
        printf "| ten 100 KB pages open (RSS) | %.1f MiB | %.1f MiB | %.2fx |\n", med("memory", "ten_kb") / 1024,
            med("memoryfp", "ten_kb") / 1024, med("memory", "ten_kb") / med("memoryfp", "ten_kb")
        printf "\nthe editor over close/open cycles (RSS, MiB, medians):"
        for (c = 1; c <= 3; c++)
            printf " closed %.1f, open %.1f;", med("memory", "closed" c "_kb") / 1024, med("memory", "open" c "_kb") / 1024
        print ""
    }
    print ""
    previewLine("previewbefore", "before")
    previewLine("preview", count["previewbefore", "preview1_ms"] ? "after" : "here")
}' "$work/results"
