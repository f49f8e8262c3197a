#!/usr/bin/env python3
"""End-to-end proof of the X11 platform layer: global hotkeys (also with lock keys on, and refused while
another client holds them), waiting for the keys' release, Control+V and Shift+Insert pastes, typing text key
by key (characters missing from the layout, held Shift, Caps Lock), and bringing back the previous window
after the newest one closed. The checks run in platform_probe (Qt Test) inside a session of its own."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from harness import Session, fail, main  # noqa: E402

PROBE_TIMEOUT = 240


def test_platform_probe():
    probe = os.environ.get("ZP_PLATFORM_PROBE")
    if not probe or not os.access(probe, os.X_OK):
        fail(f"platform_probe not found ({probe!r}); set ZP_PLATFORM_PROBE")
    with Session("platform") as s:
        env = s.tool_env()
        env["QT_QPA_PLATFORM"] = "xcb"
        env["LC_ALL"] = "C.UTF-8"
        result = subprocess.run([probe], env=env, cwd=s.workdir, capture_output=True, text=True,
                                timeout=PROBE_TIMEOUT)
        print(result.stdout, end="")
        print(result.stderr, end="", file=sys.stderr)
        if result.returncode != 0:
            fail(f"platform_probe failed with status {result.returncode}")


if __name__ == "__main__":
    main(globals(), timeout=PROBE_TIMEOUT + 60)
