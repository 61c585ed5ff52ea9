#!/usr/bin/python3
"""Prints what AT-SPI tells a screen reader about a program's windows:
one line per window, its role and its accessible name.
    SpokenWindowNames.py <process id>"""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def main():
    pid = int(sys.argv[1])
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None or app.get_process_id() != pid:
            continue
        for j in range(app.get_child_count()):
            window = app.get_child_at_index(j)
            if window is not None and window.get_state_set().contains(Atspi.StateType.SHOWING):
                print(f"{window.get_role_name()}: {window.get_name()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
