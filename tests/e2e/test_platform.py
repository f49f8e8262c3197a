"""The X11 hotkey backend's own checks (platform/PlatformProbe.cpp), on a display of their own."""

import os
import subprocess

import pytest


def test_platform_probe(wm):
    probe = os.environ.get("ZP_PLATFORM_PROBE", "")
    if not os.access(probe, os.X_OK):
        pytest.fail(f"platform_probe not found at {probe!r}; set ZP_PLATFORM_PROBE")
    result = subprocess.run([probe], env=wm.env(QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8"), cwd=wm.work,
                            capture_output=True, text=True, timeout=120)
    assert result.returncode == 0, f"platform_probe failed:\n{result.stdout}{result.stderr}"
