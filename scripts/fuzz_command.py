#!/usr/bin/env python3
"""The command and environment with which ctest runs a fuzz target of a build, with other limits.

As a program: fuzz_command.py BUILD TARGET SECONDS RUNS prints a shell line that runs the target for SECONDS or RUNS
inputs (-1: no limit). bench/fuzz_rates.py imports fuzz_tests() and with_limits()."""
import json
import shlex
import subprocess
import sys


def fuzz_tests(build):
    """Each fuzz target of the build: name -> (command, environment list, working directory)."""
    listing = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"], check=True,
                             capture_output=True, text=True).stdout
    tests = {}
    for test in json.loads(listing)["tests"]:
        props = {p["name"]: p["value"] for p in test.get("properties", [])}
        # A target not built yet has no command.
        if "fuzz" in props.get("LABELS", []) and test.get("command"):
            tests[test["name"]] = (test["command"], props.get("ENVIRONMENT", []), props.get("WORKING_DIRECTORY", "."))
    return tests


def with_limits(command, seconds, runs):
    """The command with the campaign's limits in place of the test's."""
    command = [a for a in command if not a.startswith(("-max_total_time=", "-runs="))]
    return command[:1] + [f"-max_total_time={seconds}", f"-runs={runs}"] + command[1:]


if __name__ == "__main__":
    build, target, seconds, runs = sys.argv[1:]
    tests = fuzz_tests(build)
    if target not in tests:
        sys.exit(f"{target} is no fuzz target of this build")
    command, environment, directory = tests[target]
    print("cd", shlex.quote(directory), "&& exec env", " ".join(shlex.quote(e) for e in environment),
          " ".join(shlex.quote(a) for a in with_limits(command, seconds, runs)))
