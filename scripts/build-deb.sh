#!/usr/bin/env bash
# Builds the Debian package brisko-editor_<version>_<arch>.deb with the distribution's own
# tools, in a copy of the source tree under the given folder (build-deb by default), so the
# working tree stays clean; then checks it with lintian. The package lands in that folder.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$top/build-deb}")
src="$out/src"

rm -rf "$src"
mkdir -p "$src"
# The tree as it is (uncommitted changes included), without build folders or git's data.
tar -C "$top" --exclude='./.git' --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$src" -xf -

cd "$src"
jobs=$(nproc)
DEB_BUILD_OPTIONS="parallel=$jobs nocheck" dpkg-buildpackage -b -us -uc

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb="$out/brisko-editor_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "no package made: $deb" >&2; exit 1; }

# Errors fail the build; warnings are shown.
lintian --fail-on error "$deb"
echo "Package: $deb"
