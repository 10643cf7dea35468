#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader finds of Merlin, through AT-SPI: his window with its name and
description, what he says, and his menu opened with Shift+F10 from the program's window.

Run inside a session bus and an X server of its own:
    dbus-run-session -- scripts/with-xvfb.sh tests/character/atspi_check.py build/zumbrel
"""
import os
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def wait_for(what, find, timeout=30.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        # Events reach us through the main loop.
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            found = find()
        except Exception:  # the tree changes under our feet while the program starts
            found = None
        if found:
            return found
        time.sleep(0.2)
    raise AssertionError("not found within %d s: %s" % (timeout, what))


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "zumbrel":
            return app
    return None


def descendants(node, depth=0):
    if node is None or depth > 8:
        return
    yield node
    for i in range(node.childCount):
        yield from descendants(node.getChildAtIndex(i), depth + 1)


def child_with(role, condition=lambda node: True):
    app = application()
    if app is None:
        return None
    for i in range(app.childCount):
        node = app.getChildAtIndex(i)
        if node is not None and node.getRoleName() == role and condition(node):
            return node
    return None


def main():
    program = sys.argv[1]
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    zumbrel = subprocess.Popen([program], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    failures = []
    try:
        merlin = wait_for("Merlin's window", lambda: child_with("animation", lambda n: n.name == "Merlin"))
        if "Shift+F10" not in merlin.description:
            failures.append("Merlin's description does not say how to open his menu: %r" % merlin.description)

        balloon = wait_for("what Merlin says", lambda: child_with(
            "notification", lambda n: n.description == "What Merlin says" and n.name))
        print("balloon reads: %r" % balloon.name)

        # The keyboard in the main window, then Shift+F10: his menu opens with its first entry
        # marked. Menus are no part of the window tree; a screen reader learns of them from the
        # focus moving to an entry, as this does.
        focused = []

        def on_focus(event):
            if event.detail1 == 1:
                focused.append(event.source)

        pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
        main = wait_for("the main window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Zumbrel$"], capture_output=True, text=True).stdout.split())
        subprocess.run(["xdotool", "windowfocus", "--sync", main[0]], check=False)
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "shift+F10"], check=True)

        def menu_entries():
            for source in focused:
                menu = source.parent
                if source.getRoleName() == "menu item" and menu is not None and menu.getRoleName() == "popup menu":
                    names = [menu.getChildAtIndex(i).name for i in range(menu.childCount)]
                    if "Hide" in names:
                        print("focus on %r in %r" % (source.name, menu.name))
                        return names
            return None

        entries = wait_for("Merlin's menu", menu_entries, timeout=10)
        print("menu entries: %r" % entries)
        for expected in ("Hide", "Listen", "Reset", "Exit"):
            if expected not in entries:
                failures.append("menu lacks %s: %r" % (expected, entries))
    except AssertionError as error:
        failures.append(str(error))
    finally:
        zumbrel.send_signal(signal.SIGKILL)
        zumbrel.wait()
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
