#!/bin/sh
# Start-up time (until the main window is mapped) and idle peak memory of the editor,
# measured side by side with FeatherPad in alternating runs on a private X server.
#
#   bench/startup/startup.sh [BUILD_DIR] [ROUNDS]
#
# Needs Xvfb, a C compiler with the X11 headers and FeatherPad (apt-get install featherpad).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
rounds=${2:-10}
editor="$build/bin/brisko-editor"
[ -x "$editor" ] || { echo "no $editor: build first" >&2; exit 1; }
command -v featherpad >/dev/null || { echo "featherpad is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
cc -O2 -o "$work/mapwatch" "$here/mapwatch.c" -lX11

# A display of our own; no window manager, so windows map straight on the root.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

# Fresh settings for both programs, never the user's.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

run() { # name title program...
    name=$1 title=$2
    shift 2
    line=$("$work/mapwatch" "$title" 2000 20000 "$@") || { echo "$name failed" >&2; return 1; }
    echo "$name $line" | tee -a "$work/results"
}

# One unmeasured start of each warms the file cache.
"$work/mapwatch" "Brisko HTML Editor 3.52" 200 20000 "$editor" >/dev/null
"$work/mapwatch" "Untitled" 200 20000 featherpad -s >/dev/null
for i in $(seq "$rounds"); do
    run brisko "Brisko HTML Editor 3.52" "$editor"
    run featherpad "Untitled" featherpad -s
done

awk '
function median(a, n,   i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j-1] > a[j]; j--) { t = a[j]; a[j] = a[j-1]; a[j-1] = t }
    return n % 2 ? a[(n+1)/2] : (a[n/2] + a[n/2+1]) / 2
}
{
    split($2, m, "="); split($3, h, "=")
    if ($1 == "brisko") { bm[++nb] = m[2]; bh[nb] = h[2] } else { fm[++nf] = m[2]; fh[nf] = h[2] }
}
END {
    b1 = median(bm, nb); f1 = median(fm, nf); b2 = median(bh, nb); f2 = median(fh, nf)
    printf "\nmedian of %d runs each\n", nb
    printf "main window mapped: brisko %.1f ms, featherpad %.1f ms, ratio %.2f\n", b1, f1, b1 / f1
    printf "idle peak RSS:      brisko %.1f MiB, featherpad %.1f MiB, ratio %.2f\n", b2 / 1024, f2 / 1024, b2 / f2
}' "$work/results"
