#!/usr/bin/env bash
# Installs, once, every Debian package the build, the tests and the screenshot
# tooling need. Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev qtbase5-dev-tools libqt5network5 libqt5test5
    libfccp-dev
    clang libclang-rt-14-dev
    xvfb xauth imagemagick
    fonts-dejavu-core fonts-liberation
    iproute2
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
