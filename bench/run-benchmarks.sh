#!/usr/bin/env bash
# Builds the benchmarks with optimisation in build-bench/ and runs them one after the other. Arguments pick
# benchmarks by target name (e.g. bench_imaging); without arguments every add_executable of bench/CMakeLists.txt
# runs. The benchmarks print figures and assert nothing; comparisons with ImageMagick appear when convert is
# installed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

# The desktop benchmarks start Xvfb, openbox, wmsystemtray and Tk windows; bench_paste_e2e.py takes its
# desktop from the end-to-end tests' conftest.py, which needs Debian's python3-pytest; bench_soak.py counts the
# program's X resources with xrestop; bench_wayland.py runs the Wayland end-to-end tests' headless sway session.
ensure_packages "${BUILD_PACKAGES[@]}" "${DESKTOP_PACKAGES[@]}" "${WAYLAND_PACKAGES[@]}" tk xdotool python3 \
    python3-pytest xrestop
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

scripts=()
if [ $# -gt 0 ]; then
    targets=()
    for name in "$@"; do
        if [ -f "bench/$name.py" ]; then scripts+=("$name"); else targets+=("$name"); fi
    done
else
    mapfile -t targets < <(sed -n 's/^add_executable(\(bench_[A-Za-z0-9_]*\).*/\1/p' bench/CMakeLists.txt)
    mapfile -t scripts < <(cd bench && ls bench_*.py | sed 's/\.py$//')
fi
# The scripted benchmarks measure the program itself, with the helpers of bench/CMakeLists.txt (the start-up
# probe and the floors they compare with) and the Qt window of the Wayland end-to-end tests. CopyQ, the peer
# bench_startup.py compares with, is used where installed (apt-get install --no-install-recommends copyq); nothing
# here installs it.
helpers=()
if [ ${#scripts[@]} -gt 0 ]; then helpers=(startup_probe bare_tray bare_window paste_floor zp_wayland_target); fi
cmake --build "$build" --target zolpane ${helpers[@]+"${helpers[@]}"} ${targets[@]+"${targets[@]}"} -j "$(nproc)"

for target in ${targets[@]+"${targets[@]}"}; do
    echo
    echo "== $target"
    "$build/bench/$target"
done
for script in ${scripts[@]+"${scripts[@]}"}; do
    echo
    echo "== $script"
    /usr/bin/python3 "bench/$script.py" "$build/zolpane"
done
