#!/usr/bin/env bash
# Installs what building, testing and the demo need on Debian 12. Safe to run again: it only
# calls apt-get when a package is missing.
set -euo pipefail

packages=(
    build-essential cmake ccache pkg-config git
    juce-modules-source            # JUCE 7.0.5 with its CMake support and LV2 helper
    libfreetype-dev libasound2-dev libx11-dev libxext-dev libxrandr-dev libxinerama-dev
    libxcursor-dev libfontconfig1-dev libgl-dev libpng-dev libjpeg-dev
    googletest libgtest-dev libbenchmark-dev
    lilv-utils                     # lv2info: how Linux hosts discover the LV2 bundle
    hydrogen-drumkits              # recorded drum samples for the demo session
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
