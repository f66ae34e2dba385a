#!/usr/bin/env bash
# Installs the Debian packages that are missing (Debian 12), then configures and builds
# Nutrilo in build/. Safe to run again: it installs and rebuilds only what is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

# Everything the build, the application and the tests use, also what Debian would only
# recommend (installed here without recommendations):
#   libexpat1-dev, libjpeg-dev  on libwmf's link line
#   fonts-urw-base35            the fonts libwmf draws WMF pictures with
#   qt6-translations-l10n       Qt's own dialogs and buttons in Italian
#   dpkg-dev, lintian           the Debian package's test: cpack -G DEB, then lintian
packages=(
    g++ cmake make pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql qt6-svg-dev
    qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
    postgresql
    libcanberra-dev libwmf-dev libemf2svg-dev libexpat1-dev libjpeg-dev
    xvfb xauth fonts-dejavu-core fonts-liberation fonts-urw-base35
    unrtf poppler-utils
    desktop-file-utils appstream dpkg-dev lintian
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
