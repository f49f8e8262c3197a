# Shared by run.sh and test.sh: installs the Debian packages that are missing and builds into build/ (and, for the
# tests, the sanitizer build into build-asan/).

# libxi-dev: XInput 2 raw key events tell when a hotkey's keys are let go (its runtime library, libxi6, comes with
# it and goes into the package's dependencies through dpkg-shlibdeps).
# The Wayland backend: libwayland-dev (client library), libwayland-bin (wayland-scanner, which generates the protocol
# code from our own protocol descriptions), libxkbcommon-dev (the virtual keyboard's keymaps), found by pkg-config.
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-svg-dev libpng-dev libx11-dev libxtst-dev
    libx11-xcb-dev libxi-dev libwayland-dev libwayland-bin libxkbcommon-dev pkg-config)
# Packages are installed without their Recommends, so what a tool only recommends but needs is listed here too:
# wmsystemtray draws with the X core fonts of xfonts-base and dies without them before it owns the tray.
DESKTOP_PACKAGES=(xvfb openbox wmsystemtray xfonts-base x11-utils)
# libreoffice-writer: a word processor as a paste target, started with its X11 plugin (its fonts come through
# fontconfig's own dependencies; nothing it merely recommends is used).
TEST_PACKAGES=(python3 python3-pytest xvfb xdotool xclip openbox x11-utils tk wmsystemtray xfonts-base clang-14 libclang-rt-14-dev
    imagemagick dpkg-dev desktop-file-utils appstream libreoffice-writer)
# mount: the settings-file tests put the program folder on a small tmpfs to fill it (skipped where not permitted).
TEST_PACKAGES+=(mount)
# The Wayland end-to-end tests: sway (headless, with virtual keyboard, data-control and foreign-toplevel) and
# weston (none of them) as compositors, xwayland for the program on X11 inside them (neither compositor depends on
# it), Qt's Wayland plugin for the program and the Qt target, foot as a terminal to paste into, wtype as the user's
# keyboard and wl-clipboard to read the clipboard as another client.
WAYLAND_PACKAGES=(sway weston xwayland qt6-wayland foot wtype wl-clipboard)
TEST_PACKAGES+=("${WAYLAND_PACKAGES[@]}")
# The portal end-to-end tests: Debian's real xdg-desktop-portal on a session bus of their own (dbus-daemon, whose
# dbus-bin brings dbus-send and dbus-monitor), with a scripted desktop behind it written with python3-dbus and
# python3-gi (its GLib main loop).
PORTAL_PACKAGES=(xdg-desktop-portal dbus-daemon python3-dbus python3-gi)
TEST_PACKAGES+=("${PORTAL_PACKAGES[@]}")

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build_zolpane() {
    local type="${1:-RelWithDebInfo}"
    if [ ! -f build/CMakeCache.txt ]; then
        cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
    fi
    cmake --build build -j "$(nproc)"
}

# The unit and widget tests and the fuzz targets in one clang build of their own, instrumented with AddressSanitizer,
# UndefinedBehaviorSanitizer and the fuzzer's coverage; tests/CMakeLists.txt gives the tests their sanitizer options.
# Arguments: the build folder (default $SANITIZE_BUILD_DIR or build-asan), then arguments for cmake --build.
SANITIZE_BUILD_DIR="${SANITIZE_BUILD_DIR:-build-asan}"
build_sanitized() {
    local dir="${1:-$SANITIZE_BUILD_DIR}"
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 \
            -DZOLPANE_SANITIZE=ON -DZOLPANE_FUZZ=ON >/dev/null
    fi
    cmake --build "$dir" -j "$(nproc)" "${@:2}"
}
