#!/bin/sh
# Checks pages with the W3C Nu Html Checker and prints its errors; exit status 0 when there
# are none. The checker (npm package vnu-jar) and a Java runtime are installed the first
# time, into ~/.cache/brisko-vnu and from Debian's packages.
# Usage: scripts/check-html5.sh PAGE.html [PAGE.html ...]
set -eu
[ $# -gt 0 ] || { echo "usage: $0 PAGE.html ..." >&2; exit 2; }
dir="${XDG_CACHE_HOME:-$HOME/.cache}/brisko-vnu"
jar="$dir/node_modules/vnu-jar/build/dist/vnu.jar"
if ! command -v java >/dev/null 2>&1; then
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y --no-install-recommends default-jre-headless >/dev/null
fi
if [ ! -f "$jar" ]; then
    mkdir -p "$dir"
    (cd "$dir" && npm install --no-audit --no-fund --silent vnu-jar >/dev/null)
fi
exec java -jar "$jar" --errors-only "$@"
