"""The main window's chrome under a small window manager: dragging the caption bar moves the
window, a double click fills the screen and a second one puts it back, the minimise button
hides it until it is activated again, the close button ends the program."""

import os
import signal
import subprocess
import sys
import time

from lumivo_e2e import (Sandbox, check, kill, main, screenshot, start_player, wait_for, window_geometry,
                        windows_named)

BINARY, OUT = sys.argv[1], sys.argv[2]
TITLE = "Lumivo网络电视5.5 免安装版"


def xdo(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=False)
    time.sleep(0.3)


def near(a, b, slack=2):
    return all(abs(x - y) <= slack for x, y in zip(a, b))


def screen_size():
    out = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def test():
    sandbox = Sandbox()
    wm = player = None
    try:
        wm = start_player("icewm", sandbox.env(), ["--replace"])
        time.sleep(2)
        player = start_player(BINARY, sandbox.env())
        wid = wait_for(lambda: windows_named(f"^{TITLE}$", player.pid), 30, "the main window")[0]
        time.sleep(2)
        x, y, w, h = window_geometry(wid)
        check((w, h) == (739, 530), f"design size expected, got {w}x{h}")
        screenshot(os.path.join(OUT, "chrome-start.png"))

        # Drag by the bare caption bar.
        xdo("mousemove", x + 300, y + 12)
        xdo("mousedown", 1)
        for step in range(1, 5):
            xdo("mousemove", x + 300 + 20 * step, y + 12 + 10 * step)
        xdo("mouseup", 1)
        # The move starts once the pointer has gone the drag distance (a click must stay a click);
        # from there the window follows it.
        def dragged():
            g = window_geometry(wid)
            return g if 60 <= g[0] - x <= 80 and 30 <= g[1] - y <= 40 and (g[0] - x) == 2 * (g[1] - y) else None
        moved = wait_for(dragged, 10, f"the window moved by about (80, 40) from {(x, y)}, now {window_geometry(wid)}")
        x, y = moved[0], moved[1]
        screenshot(os.path.join(OUT, "chrome-dragged.png"))

        # Double click on the title: the screen less 500 twips at the bottom, then back.
        sw, sh = screen_size()
        xdo("mousemove", x + 40, y + 12)
        xdo("click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: near(window_geometry(wid), (0, 0, sw, round(sh - 500 / 15))), 10,
                 f"full screen {sw}x{round(sh - 500 / 15)} at (0, 0), got {window_geometry(wid)}")
        screenshot(os.path.join(OUT, "chrome-fullscreen.png"))
        xdo("mousemove", 40, 12)
        xdo("click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: near(window_geometry(wid), (x, y, 739, 530)), 10,
                 f"the rectangle before full screen, got {window_geometry(wid)}")

        # The minimise button hides the window; activating it brings it back where it was.
        panel = x + 739 - 69
        xdo("mousemove", panel + 12, y + 12)
        xdo("click", 1)
        wait_for(lambda: not windows_named(f"^{TITLE}$", player.pid), 10, "the window minimised")
        screenshot(os.path.join(OUT, "chrome-minimised.png"))
        xdo("windowactivate", wid)
        wait_for(lambda: windows_named(f"^{TITLE}$", player.pid), 10, "the window restored")
        time.sleep(1)
        check(near(window_geometry(wid), (x, y, 739, 530)), f"restored elsewhere: {window_geometry(wid)}")

        # The close button unloads the last window: the program ends.
        xdo("mousemove", panel + 52, y + 12)
        xdo("click", 1)
        try:
            rc = player.wait(20)
        except subprocess.TimeoutExpired:
            rc = None
        check(rc == 0, f"the program did not end cleanly after the close button: {rc}")
    finally:
        for p in (player, wm):
            if p:
                kill(p, signal.SIGKILL)
        sandbox.close()


main(test, OUT)
