#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan, runs every test and gives
# every fuzz target a short run.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
zentrova_install_packages "${ZENTROVA_PACKAGES[@]}"
zentrova_generate_test_locale

build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTROVA_SANITIZE=ON
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A test that hangs (a window that never comes) fails after five minutes.
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300
# A smoke run of every fuzz target (its own clang build in build/fuzz); fails on any finding.
fuzz/run.sh 10
