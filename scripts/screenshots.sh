#!/usr/bin/env bash
# Takes the pictures of the user guide and of the quick-start wizard (resources/help/images/) from the real
# program on a virtual display (scripts/screenshots.py). Run it again whenever the program's look changes, then
# look at the pictures before committing them. ZOLPANE_BUILD names the build folder (default build/, configured
# when missing); arguments go to screenshots.py (--keep keeps its scratch folder and logs).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}" "${DESKTOP_PACKAGES[@]}" xdotool imagemagick tk python3
build="${ZOLPANE_BUILD:-build}"
compile() {
    [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja >/dev/null
    cmake --build "$build" --target zolpane
}

compile
before="$(stat -c %Y "$build/zolpane")"
python3 scripts/screenshots.py "$build/zolpane" resources/help/images "$@"
# The wizard carries its pictures inside the program: when new ones changed it, the rebuilt wizard is pictured too.
compile
if [ "$(stat -c %Y "$build/zolpane")" != "$before" ]; then
    echo "The wizard's pictures changed: taking the pictures again with the rebuilt program."
    python3 scripts/screenshots.py "$build/zolpane" resources/help/images "$@"
fi
