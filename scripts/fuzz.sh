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
script=$(ctest --test-dir "$SANITIZE_BUILD_DIR" --show-only=json-v1 | python3 -c '
import json, shlex, sys
target, seconds, runs = sys.argv[1:]
tests = {t["name"]: {p["name"]: p["value"] for p in t.get("properties", [])} | {"command": t.get("command")}
         for t in json.load(sys.stdin)["tests"]}
props = tests.get(target, {})
if "fuzz" not in props.get("LABELS", []):
    sys.exit(f"{target} is no fuzz target of this build")
command = [a for a in props["command"] if not a.startswith("-max_total_time=")]
command[1:1] = [f"-max_total_time={seconds}", f"-runs={runs}"]
print("cd", shlex.quote(props.get("WORKING_DIRECTORY", ".")), "&& exec env",
      " ".join(shlex.quote(e) for e in props.get("ENVIRONMENT", [])), " ".join(shlex.quote(a) for a in command))
' "$target" "$seconds" "$runs")
eval "$script"
