"""The Wayland cases with the program on XWayland (Qt on xcb, DISPLAY set, as on most Wayland desktops today)
while the windows it pastes into are native Wayland ones."""

import pytest

from test_wayland import *  # noqa: F401,F403 (the cases)


@pytest.fixture
def xwayland():
    return True
