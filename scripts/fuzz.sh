#!/usr/bin/env bash
# Runs one fuzz target for a long campaign: scripts/fuzz.sh TARGET SECONDS [RUNS]
# Builds the target in the sanitizer build folder ($SANITIZE_BUILD_DIR, default build-asan) when needed and runs it
# as its test does (same seeds, corpus and limits) for SECONDS, or until RUNS inputs were tried when that comes first.
# New inputs go to <build>/fuzz/corpus/TARGET, a crashing input to <build>/fuzz/TARGET-crash-*. The targets:
# ctest --test-dir build-asan -N -L fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 TARGET SECONDS [RUNS]" >&2
    exit 2
fi
target="$1" seconds="$2" runs="${3:--1}"
ensure_packages "${BUILD_PACKAGES[@]}" clang-14 libclang-rt-14-dev python3
build_sanitized "$SANITIZE_BUILD_DIR" --target "$target"

# The test's command and environment as ctest knows them, with the campaign's limits in place of the test's.
script=$(python3 scripts/fuzz_command.py "$SANITIZE_BUILD_DIR" "$target" "$seconds" "$runs")
eval "$script"
