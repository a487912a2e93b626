#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, once.
# Safe to run again: it installs only what is missing.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev
    libqt6opengl6-dev libqt6sql6-sqlite libqt6sql6-psql libgl-dev libjpeg-dev libjpeg62-turbo-dev
    libxlsxwriter-dev libzip-dev libfreetype-dev fonts-dejavu-core libgtest-dev libgmock-dev
    libbenchmark-dev xvfb xauth socat iproute2 clang-format clang libclang-rt-14-dev
    sqlite3 libreoffice-calc-nogui libreoffice-writer-nogui poppler-utils imagemagick
    xdg-utils fonts-liberation2)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
