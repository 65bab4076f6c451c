#!/usr/bin/env bash
# Installs what is missing, builds Torvik and starts it against the simulated
# testing machine, registered as serial port 1. With --no-machine, starts
# Torvik with no testing machine at all.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
exec ./build/bin/torvik-export --summary "$@"
