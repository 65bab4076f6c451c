#!/usr/bin/env bash
# Builds the Debian package torvik_VERSION_ARCH.deb in build-package/ with
# Debian's hardening flags, and prints its path (the build's own output goes
# to standard error). Install it with
#   apt install ./build-package/torvik_*.deb
# Run scripts/install-deps.sh first on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."

# Debian's own compiler and linker flags with every hardening feature
# (fortified, stack-protected, relocations read-only and bound at start-up).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Given on the command line, not through the environment: CMake takes CXXFLAGS
# and LDFLAGS from there only on the first configure, and CPPFLAGS never.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
    -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF -DTORVIK_FUZZ=OFF >&2
cmake --build build-package -j "$(nproc)" >&2
rm -f build-package/torvik_*.deb
(cd build-package && cpack -G DEB >&2)
ls build-package/torvik_*.deb
