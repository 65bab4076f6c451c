#!/usr/bin/env bash
# Installs what is missing, starts the print system with a PDF printer, builds
# with warnings as errors, runs the whole test suite, builds the Debian package
# and checks it with lintian and its contents list, then runs the suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and gives the
# data-file fuzzer a short, bounded run.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/start-printer.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVIK_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# A test run by hand, outside ctest, keeps to folders of its own: the home
# folder it is given must stay empty.
home=$(mktemp -d)
env -u XDG_CONFIG_HOME -u XDG_STATE_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME="$home" \
    build/bin/tst_newtest >/dev/null
[ -z "$(ls -A "$home")" ] || { echo "test.sh: tst_newtest wrote into $home" >&2; exit 1; }
rmdir "$home"

# The package: no lintian error, and everything an operator needs in it.
deb=$(./scripts/package.sh | tail -n 1)
lintian --fail-on error --display-info "$deb"
contents=$(dpkg-deb --contents "$deb")
for path in usr/bin/torvik usr/bin/torvik-export usr/bin/torvik-sim \
    usr/share/torvik/help/index.html usr/share/applications/torvik.desktop \
    usr/share/mime/packages/torvik.xml usr/share/icons/hicolor/scalable/apps/torvik.svg \
    usr/share/icons/hicolor/48x48/apps/torvik.png usr/share/man/man1/torvik.1.gz \
    usr/share/man/man1/torvik-export.1.gz usr/share/man/man1/torvik-sim.1.gz \
    usr/share/doc/torvik/copyright; do
    grep -q " \./$path\$" <<<"$contents" || { echo "test.sh: $deb lacks /$path" >&2; exit 1; }
done
echo "Package $deb checked: $(stat -c %s "$deb") bytes"

CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTORVIK_WERROR=ON -DTORVIK_SANITIZE=ON -DTORVIK_BENCH=OFF -DTORVIK_FUZZ=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
