#!/usr/bin/env python3
"""Checks of the harness itself, without the program: the pieces later tests rely on must work on this
machine (the Tk target takes typed and pasted text, the clipboard round-trips, the tray host owns the tray
selection, a close request reaches a window)."""

import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import Session, TestFailure, check, check_equal, main, selection_owner, wait_for  # noqa: E402


def test_tk_target_takes_typed_and_pasted_text():
    with Session("harness-target", target=True) as s:
        check_equal(s.target_text(), "", "the target's text at start")
        s.activate(s.target_window)
        check_equal(s.active_window_title(), "TkTarget", "title of the active window")
        s.type_text("typed ")
        wait_for(lambda: s.target_text() == "typed ", 5, "the typed text in the target")
        s.clipboard_set("pasted\nline")
        check("UTF8_STRING" in s.clipboard_targets(), "xclip offers UTF8_STRING")
        s.key("ctrl+v")
        wait_for(lambda: s.target_text() == "typed pasted\nline", 5, "the pasted text in the target")


def test_tray_host_owns_the_tray_selection():
    with Session("harness-tray", tray=True) as s:
        owner = selection_owner(s.display, "_NET_SYSTEM_TRAY_S0")
        check(owner != 0, "the tray selection has an owner")
        check_equal(s.window_pid(owner), s.processes[-1].pid, "owner of the tray selection")


def test_close_request_reaches_a_window():
    with Session("harness-close", target=True) as s:
        s.close_window(s.target_window)  # Tk's default answer to WM_DELETE_WINDOW is to end
        s.target.wait(5)
        check(not s.windows(title="TkTarget"), "the target's window is gone")


def test_a_wait_fails_at_once_with_the_output_of_a_tray_host_that_ended():
    with Session("harness-helper-ends", tray=True) as s:
        tray = next(p for p in s.processes if p.name == "wmsystemtray")
        with open(tray.log_path, "a") as log:
            log.write("last words of the tray host\n")
        os.kill(tray.pid, signal.SIGKILL)
        tray.popen.wait()
        try:
            wait_for(lambda: False, 60, "something that never comes")
        except TestFailure as e:
            message = str(e)
        else:
            message = ""
        check("wmsystemtray" in message and "last words of the tray host" in message and "timed out" not in message,
              f"the wait names the ended tray host and its output, got {message!r}")


if __name__ == "__main__":
    main(globals(), timeout=60, needs_program=False)
