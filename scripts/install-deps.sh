#!/usr/bin/env bash
# Installs the Debian 12 packages Torvik needs to build, test, run and package.
set -euo pipefail
packages=(
    build-essential cmake ninja-build clang clang-format libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-charts-dev qt6-svg-dev
    libqt6opengl6-dev libqt6svg6 qt6-qpa-plugins libbenchmark-dev
    xvfb xauth
    cups printer-driver-cups-pdf poppler-utils strace
    desktop-file-utils shared-mime-info man-db groff-base dpkg-dev lintian
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
