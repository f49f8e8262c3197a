#!/usr/bin/env python3
"""Inputs per second of each fuzz target of the sanitizer build, once its corpus is loaded.

fuzz_rates.py [--build DIR] [--seconds S] [TARGET ...]: runs each target alone for S seconds (default 20) on a copy
of its campaign corpus (or only its seeds when it has none), as its test runs it, and prints the inputs tried per
second after libFuzzer has read the corpus (libFuzzer's own average counts the reading too). DIR is the build of
scripts/fuzz.sh ($SANITIZE_BUILD_DIR, else build-asan). Prints figures and asserts nothing. Run it on a quiet
machine: a second busy process on the other core costs a target about a third of its speed."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from fuzz_command import fuzz_tests, with_limits  # noqa: E402

# What each kind of target is expected to reach: a parser of bytes, or a builder of documents and pictures.
BUILDERS = {"fuzz_rtf_reader", "fuzz_load_png", "fuzz_clip_picture", "fuzz_project_reader"}
RUN_LINE = re.compile(rb"^#(\d+)\s+(INITED|DONE|pulse|NEW|REDUCE|RELOAD)\b")


def measure(command, environment, directory, seconds):
    """(inputs after the corpus was read, seconds they took, libFuzzer's average) of one run."""
    env = dict(os.environ)
    env.update(e.split("=", 1) for e in environment)
    process = subprocess.Popen(with_limits(command, seconds, -1), cwd=directory, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    start = None
    last = None
    average = None
    for line in process.stderr:
        now = time.monotonic()
        match = RUN_LINE.match(line)
        if match and match.group(2) == b"INITED":
            start = (int(match.group(1)), now)
        elif match and start:
            last = (int(match.group(1)), now)
        elif line.startswith(b"stat::average_exec_per_sec:"):
            average = int(line.split()[-1])
    process.wait()
    if process.returncode != 0 or not start or not last:
        return None
    return last[0] - start[0], last[1] - start[1], average


def main():
    parser = argparse.ArgumentParser()
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--build", default=os.environ.get("SANITIZE_BUILD_DIR", os.path.join(repo, "build-asan")))
    parser.add_argument("--seconds", type=int, default=20)
    parser.add_argument("targets", nargs="*")
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.build, "CTestTestfile.cmake")):
        sys.exit(f"no sanitizer build in {args.build}: scripts/fuzz.sh builds one")
    tests = fuzz_tests(args.build)
    targets = args.targets or sorted(tests)
    print(f"load average before: {os.getloadavg()[0]:.2f}; {args.seconds} s per target, one at a time")
    print(f"{'target':<24} {'aim':>7} {'inputs/s':>9} {'inputs':>10} {'libFuzzer avg':>14}")
    with tempfile.TemporaryDirectory() as scratch:
        for target in targets:
            command, environment, directory = tests[target]
            corpus = os.path.join(directory, "corpus", target)
            copy = os.path.join(scratch, target)
            if os.path.isdir(corpus):
                shutil.copytree(corpus, copy)
            else:
                os.mkdir(copy)
            # The corpus argument is the one folder the fuzzer writes into; the copy takes its place.
            command = [copy if a == corpus else a for a in command]
            result = measure(command, environment, directory, args.seconds)
            aim = 2000 if target in BUILDERS else 20000
            if result is None:
                print(f"{target:<24} {aim:>7} {'failed':>9}")
                continue
            inputs, spent, average = result
            print(f"{target:<24} {aim:>7} {inputs / spent:>9,.0f} {inputs:>10,} {average or 0:>14,}")
    print(f"load average after: {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
