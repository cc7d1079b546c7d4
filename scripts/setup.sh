#!/usr/bin/env bash
# Installs the Debian packages the editor needs to build, run and be tested, when any is
# missing. Runs apt-get directly as root, through sudo otherwise.
set -euo pipefail

packages=(
    g++ cmake ninja-build ccache
    qt6-base-dev qt6-webengine-dev libqt6opengl6-dev libgl-dev
    xvfb xauth
    python3-pyftpdlib python3-openssl vsftpd poppler-utils
    libssh-dev libssl-dev openssh-server openssh-client libsecret-1-dev
    qt6-translations-l10n desktop-file-utils
    libhunspell-dev hunspell-cs hunspell-en-us libtidy-dev libfontconfig-dev pkg-config
)
# `make deb` also needs the distribution's packaging tools; `make bench` the benchmark
# library and the programs it is compared with.
if [ "${1:-}" = deb ]; then
    packages+=(debhelper dpkg-dev fakeroot lintian)
elif [ "${1:-}" = bench ]; then
    packages+=(libbenchmark-dev curl lftp xvfb featherpad libx11-dev libxtst-dev libxdamage-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO=(sudo)
else
    echo "Some packages are missing. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
