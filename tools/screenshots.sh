#!/usr/bin/env bash
# Renders the main window (on the simulated machine, live load showing), the
# calibration dialog, the sensor watch window, a compression test while it
# runs, the results of a tension test
# in both views with the Sample Size dialog, its chart zoomed with a point
# readout, and of a hardness test (from data files the tool writes), and the
# first pages of a specimen and a set report (rendered by pdftoppm) to
# docs/screenshots/*.png under the offscreen
# platform. Needs no display. Uses its own settings and state folders, so the
# operator's settings and test journals are neither read nor changed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target torvik-screenshots torvik-sim

settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$settings" XDG_STATE_HOME="$settings" TORVIK_SIM="$PWD/$build/bin/torvik-sim" \
    "$build/bin/torvik-screenshots" docs/screenshots
