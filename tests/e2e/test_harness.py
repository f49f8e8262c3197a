"""The harness itself, without the program: a wait fails at once, with the helper's own output, when a helper
ends."""

import os
import signal

import pytest

from conftest import wait_for


@pytest.mark.parametrize("helper", ["Xvfb", "openbox", "wmsystemtray"])
def test_a_wait_fails_at_once_with_the_output_of_a_helper_that_ended(desktop, tray, helper):
    process = next(p for p in desktop.processes if p.name == helper)
    with open(process.log_path, "a") as log:
        log.write("last words of the helper\n")
    os.kill(process.pid, signal.SIGKILL)
    process.popen.wait()
    with pytest.raises(pytest.fail.Exception) as failure:
        wait_for(lambda: False, "something that never comes", timeout=60)
    message = str(failure.value)
    assert helper in message and "last words of the helper" in message and "timed out" not in message, message
