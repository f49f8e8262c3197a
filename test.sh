#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit and widget tests on Qt's offscreen platform,
# end-to-end tests against their own Xvfb displays).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
build_zolpane
cd build
ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
