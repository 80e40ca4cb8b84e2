#!/usr/bin/env bash
# Installs what is missing, builds, checks the folder arrows
# (scripts/check_layers.sh), runs every test and checks the Debian
# package (scripts/check_package.sh); then builds the
# Qt-free core with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# (the fuzz targets in the same build), runs the core tests again and each
# fuzz target for a short while; then builds with ThreadSanitizer and runs the
# core tests and the GUI tests that cross threads; then, when asked, the
# Windows build under Wine. Prints each stage's time.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_start=$SECONDS
stage_done() {
    echo "== $1 took $((SECONDS - stage_start)) s"
    stage_start=$SECONDS
}

scripts/setup.sh build
scripts/check_layers.sh
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600
stage_done "build and tests"
scripts/check_package.sh build
stage_done "package checks"

echo "== sanitizer stage (core only, with the fuzz targets) =="
scripts/setup.sh build-asan -DCMAKE_CXX_COMPILER=clang++ -DMOFENG_CORE_ONLY=ON -DMOFENG_FUZZ=ON \
    -DMOFENG_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)" --timeout 600
stage_done "sanitizer build and tests"
scripts/fuzz.sh "${MOFENG_FUZZ_SECONDS:-20}" build-asan
stage_done "fuzzing"

echo "== thread sanitizer stage =="
scripts/setup.sh build-tsan -DCMAKE_CXX_COMPILER=clang++ -DMOFENG_TSAN=ON -DMOFENG_BENCH=OFF
TSAN_OPTIONS="suppressions=$PWD/scripts/tsan.supp halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" --timeout 600 -L 'core|threads'
stage_done "thread sanitizer build and tests"

# The Windows build under Wine, when MOFENG_CI_WINDOWS=1 asks for it: its
# libraries are cross-built from Debian's sources into a cache
# (scripts/windows/build.sh), and a cold build of them takes longer than this
# whole script may.
if [[ ${MOFENG_CI_WINDOWS:-} == 1 ]]; then
    echo "== Windows stage (MinGW-w64 cross build, package, tests and programs under Wine) =="
    scripts/windows/build.sh
    scripts/windows/package.sh
    scripts/windows/test.sh
    stage_done "Windows build and tests under Wine"
else
    echo "== Windows stage left out (MOFENG_CI_WINDOWS=1 runs scripts/windows/build.sh, package.sh and test.sh)"
fi
