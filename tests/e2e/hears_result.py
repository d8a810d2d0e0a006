"""hears_result.py WINDOW: listens to the accessibility bus as a screen reader does, presses
Calculate with the mouse (X input, on the calculator window WINDOW), and checks that each
result reached the bus as a notification that appeared, the same result again too, while
the focus went nowhere but to the button pressed."""

import subprocess
import sys

import pyatspi
from gi.repository import GLib

window = sys.argv[1]
heard, focused = [], []


def on_event(event):
    source = event.source
    if event.type.startswith("object:state-changed:showing") and event.detail1:
        if source.getRole() == pyatspi.ROLE_NOTIFICATION:
            heard.append(source.name)
            if len(heard) == 2:
                pyatspi.Registry.stop()
    elif event.type.startswith("object:state-changed:focused") and event.detail1:
        focused.append(source.name)


def calculate():
    subprocess.run(["xdotool", "click", "1"], check=True)
    return True  # again each second until two results were heard: the program learns of
    # a new listener in its own time


# Calculate, 240 and 2160 twips in, is at 56,156 at 96 DPI.
subprocess.run(["xdotool", "mousemove", "--sync", "--window", window, "56", "156"], check=True)
# Qt 6.4 sends state changes only to those who listen to every object event.
pyatspi.Registry.registerEventListener(on_event, "object:")
GLib.timeout_add(1000, calculate)
GLib.timeout_add_seconds(20, pyatspi.Registry.stop)
pyatspi.Registry.start()

expected = ["Quinbray per Increment 1.00"] * 2
if heard != expected:
    sys.exit(f"FAIL: a screen reader was told {heard}, not {expected}")
if set(focused) - {"Calculate"}:
    sys.exit(f"FAIL: the focus went to {focused}")
print(f"PASS: each Calculate told the bus a notification appeared, \"{heard[0]}\"; "
      f"the focus stayed on Calculate")
