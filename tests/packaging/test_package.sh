#!/usr/bin/env bash
# Builds the Debian package of a build folder into a scratch folder and checks what a user gets: the files, the
# runtime dependencies, and the installed desktop entry and metainfo under their validators.
# Usage: test_package.sh <build folder> <version> [<cpack>]
set -euo pipefail
build="$1" version="$2" cpack="${3:-cpack}"
for tool in "$cpack" dpkg-shlibdeps desktop-file-validate appstreamcli readelf; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/common.sh installs it)"; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
arch="$(dpkg --print-architecture)"
deb="$work/zolpane_${version}_$arch.deb"
[ -f "$deb" ] || { echo "FAIL: no $(basename "$deb") among: $(ls "$work")"; exit 1; }

id=io.github.zolpane.Zolpane
files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for path in bin/zolpane "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    share/icons/hicolor/scalable/apps/zolpane.svg share/icons/hicolor/48x48/apps/zolpane.png \
    share/mime/packages/zolpane.xml share/man/man1/zolpane.1 share/doc/zolpane/copyright; do
    grep -qxF "./usr/$path" <<<"$files" || fail "the package lacks /usr/$path"
done
# Only the program's files: nothing outside /usr/bin and /usr/share, nothing of the build.
extra="$(grep -vE '^\./(usr/((bin|share)(/.*)?)?)?$' <<<"$files"; grep -E '\.(a|h|cmake)$|/(test_|zp_)' <<<"$files")" || true
[ -z "$extra" ] || fail "files a user does not need: $extra"

# Depends: the package of every library the program links (Qt 6, libX11, libXtst, libpng once pictures are read),
# libqt6svg6, whose SVG plugins Qt loads at run time, and qt6-wayland, its Wayland platform plugin.
root="$work/root"
dpkg-deb -x "$deb" "$root"
depends="$(dpkg-deb -f "$deb" Depends)"
depends_names="$(tr ',|' '\n\n' <<<"$depends" | awk '{print $1}')"
wanted="libqt6svg6 qt6-wayland libqt6widgets6 libx11-6 libxtst6 libwayland-client0 libxkbcommon0"
for lib in $(readelf -d "$root/usr/bin/zolpane" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    owner="$(dpkg-query -S "*/$lib" 2>/dev/null | grep -E "^[^ ]*:$arch: /" | head -n1 | cut -d: -f1)"
    [ -n "$owner" ] && wanted="$wanted $owner" || fail "no installed package holds $lib, which the program links"
done
for package in $(tr ' ' '\n' <<<"$wanted" | sort -u); do
    grep -qxF "$package" <<<"$depends_names" || fail "Depends lacks $package: $depends"
done
! grep -qE -- '-dev( |,|$)|clang|cmake|ninja|xvfb|xdotool' <<<"$depends" || fail "Depends holds build packages: $depends"

# The installed files under their validators, and what refers to what.
desktop="$root/usr/share/applications/$id.desktop"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 || fail "appstreamcli: $(cat "$work/appstream.log")"
[ -x "$root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")" ] || fail "the desktop entry's Exec is not installed"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg" ] || fail "its Icon is not installed"
grep -qF "<launchable type=\"desktop-id\">$id.desktop<" "$metainfo" || fail "the metainfo does not launch $id.desktop"
release="$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)"
[ "$release" = "$version" ] || fail "the metainfo's newest release is '$release', the project's version $version"
size="$(od -An -tu1 -j16 -N8 "$root/usr/share/icons/hicolor/48x48/apps/zolpane.png" | tr -s ' ')" # PNG header
[ "$size" = " 0 0 0 48 0 0 0 48" ] || fail "the 48 px icon's width and height bytes are '$size'"

[ "$failed" -eq 0 ] || { echo "$failed packaging checks failed"; exit 1; }
echo "packaging: $(basename "$deb"), $(grep -c . <<<"$files") entries, Depends: $depends"
