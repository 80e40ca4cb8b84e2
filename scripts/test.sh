#!/usr/bin/env bash
# Installs what is missing, builds, runs every test and checks the Debian
# package (scripts/check_package.sh); then builds the Qt-free core with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the core tests again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600
scripts/check_package.sh build

echo "== sanitizer stage (core only) =="
scripts/setup.sh build-asan -DMOFENG_CORE_ONLY=ON -DMOFENG_SANITIZE=ON -DMOFENG_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)" --timeout 600
