#!/usr/bin/env bash
# Checks the built package as a user would meet it: lintian has no errors, the file list
# holds what the program needs, it installs with apt, starts on a display (Xvfb), finds its
# data and draws a page in its browser, shows on the menu under Development, and removing
# and purging it leaves no file behind.
# Needs root (or sudo); run after `make deb`. Usage: scripts/check-deb.sh [package.deb]
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
deb=$(realpath "${1:-$(ls "$top"/build-deb/brisko-editor_*.deb | tail -n 1)}")
SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)
fail() { echo "check-deb: $*" >&2; exit 1; }

lintian --fail-on error "$deb"

listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for f in /usr/bin/brisko-editor \
         /usr/lib/brisko-editor/libbrisko.so \
         /usr/lib/brisko-editor/libbrisko-browser.so \
         /usr/share/brisko-editor/data/function.dat \
         /usr/share/brisko-editor/help/index.htm \
         /usr/share/applications/brisko-editor.desktop \
         /usr/share/icons/hicolor/48x48/apps/brisko-editor.png \
         /usr/share/icons/hicolor/scalable/apps/brisko-editor.svg \
         /usr/share/doc/brisko-editor/copyright; do
    grep -qx "$f" <<<"$listing" || fail "missing from the package: $f"
done
if grep -Eq '^/usr/local|^/home|^/root|/include/|\.a$' <<<"$listing"; then
    fail "the package holds files that do not belong in it"
fi
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no dependency on the Qt runtime"
for recommended in qt6-translations-l10n hunspell-cs hunspell-en-us; do
    dpkg-deb -f "$deb" Recommends | grep -qw "$recommended" || fail "$recommended is not recommended"
done

files_before=$(mktemp)
files_after=$(mktemp)
trap 'rm -f "$files_before" "$files_after"' EXIT
snapshot() { find /usr /etc /var/lib/dpkg/info -xdev 2>/dev/null | grep -i brisko | sort || true; }
snapshot >"$files_before"

"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb"
desktop-file-validate /usr/share/applications/brisko-editor.desktop
grep -q '^Categories=.*Development' /usr/share/applications/brisko-editor.desktop || fail "not under Development"
grep -q '^Exec=brisko-editor %F' /usr/share/applications/brisko-editor.desktop || fail "the menu entry takes no files"
# The installed program on a display of its own: it reports its data, then shows a page in
# its browser and reads the screen back to see the page drawn where the browser is.
home=$(mktemp -d)
chmod 700 "$home"
report=$(HOME="$home" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=xcb \
         xvfb-run -a -s "-screen 0 1280x1024x24" brisko-editor --check-install) \
    || fail "the installed program did not start, misses data or shows no page: $report"
echo "$report"
grep -qx 'programDir: /usr/share/brisko-editor/' <<<"$report" || fail "the program did not find its data"
grep -qx 'browser module: /usr/lib/brisko-editor/libbrisko-browser.so' <<<"$report" \
    || fail "the program looks for its browser module elsewhere"
grep -qx 'page: drawn' <<<"$report" || fail "the browser drew no page"
rm -rf "$home"

"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq brisko-editor
# Installed from a file, it has no configuration files to keep; purge whatever is left.
"${SUDO[@]}" dpkg --purge brisko-editor
if dpkg-query -W -f='${Status}' brisko-editor 2>/dev/null | grep -q 'ok installed'; then
    fail "still installed"
fi
snapshot >"$files_after"
diff -u "$files_before" "$files_after" || fail "files left behind after purge"
echo "check-deb: $deb is fine"
