#!/usr/bin/env bash
# Installs what is missing, starts the print system with a PDF printer, builds with warnings as errors, runs the whole test
# suite, then runs it again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and gives the data-file fuzzer a short, bounded run.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/start-printer.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVIK_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTORVIK_WERROR=ON -DTORVIK_SANITIZE=ON -DTORVIK_BENCH=OFF -DTORVIK_FUZZ=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
