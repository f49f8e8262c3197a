#!/usr/bin/env bash
# Builds the libFuzzer target for LoadPngPicture with clang (address and undefined-behaviour sanitizers) and runs
# it for a while, starting from seed files it writes itself.
# Arguments: clang++ path, work folder, source root, include folders and libraries (each ":"-separated),
# seconds to fuzz (default 20).
set -euo pipefail
cxx="$1" work="$2" root="$3" seconds="${6:-20}"
IFS=: read -ra include_dirs <<<"$4"
IFS=: read -ra libraries <<<"$5"
flags=()
for dir in "${include_dirs[@]}"; do
    # The compiler's own system folders keep their place in its search order.
    case "$dir" in "" | /usr/include | /usr/local/include) continue ;; esac
    flags+=(-isystem "$dir")
done

mkdir -p "$work"
binary="$work/fuzz_load_png" corpus="$work/corpus"
"$cxx" -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I "$root/src" -I "$root/tests/imaging" "${flags[@]}" \
    "$root/tests/imaging/fuzz/FuzzLoadPng.cpp" "$root/tests/imaging/PngTestFiles.cpp" \
    "$root/src/imaging/PngPicture.cpp" "$root/src/imaging/cDIBSection.cpp" "$root/src/imaging/ImagingLog.cpp" \
    "${libraries[@]}" -o "$binary"
rm -rf "$corpus" && mkdir -p "$corpus"
ZP_FUZZ_WRITE_SEEDS="$corpus" "$binary"
echo "Seeds: $(ls "$corpus" | wc -l) files"
# Refused files are the normal case here; their log lines would only drown the fuzzer's report.
QT_LOGGING_RULES="zolpane.imaging=false" "$binary" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1 -artifact_prefix="$work/"
