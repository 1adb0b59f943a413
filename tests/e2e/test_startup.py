"""Start-up end to end: one window with the title, the ad page requested, a second start
warns and leaves, a killed instance does not block the next start, nothing is written."""

import os
import signal
import subprocess
import sys
import tempfile
import time

from lumivo_e2e import (Fail, Sandbox, StaticServer, check, kill, local_port, main, screenshot,
                        start_player, wait_for, window_title, windows_named)

BINARY, CONTENT_SERVER, OUT = sys.argv[1], sys.argv[2], sys.argv[3]
TITLE = "Lumivo网络电视5.5 免安装版"
BOX = "Lumivo网络电视"


def test():
    sandbox = Sandbox()
    site = tempfile.mkdtemp(prefix="lumivo-site-")
    os.makedirs(os.path.join(site, "ad"))
    with open(os.path.join(site, "ad", "ad.html"), "w", encoding="utf-8") as f:
        f.write("<html><head><meta charset='utf-8'></head><body style='background:#ffd'>广告</body></html>")
    port = local_port(CONTENT_SERVER)
    server = StaticServer(site, port) if port else None
    first = second = third = None
    try:
        first = start_player(BINARY, sandbox.env())
        main_windows = wait_for(lambda: windows_named(f"^{TITLE}$", first.pid), 30, "the main window")
        check(len(main_windows) == 1, f"expected one main window, got {main_windows}")
        check(window_title(main_windows[0]) == TITLE, "window title")
        if server:
            wait_for(lambda: "/ad/ad.html" in server.requests, 20, "the ad page request")
        time.sleep(1.5)
        screenshot(os.path.join(OUT, "startup.png"))

        # A second start shows its warning and ends; the first stays.
        second = start_player(BINARY, sandbox.env())
        box = wait_for(lambda: windows_named(f"^{BOX}$", second.pid), 30, "the warning box")
        check(not windows_named(f"^{TITLE}$", second.pid), "the second start showed a main window")
        screenshot(os.path.join(OUT, "second-start.png"))
        subprocess.run(["xdotool", "key", "--window", box[0], "Return"], check=False)
        try:
            rc = second.wait(20)
        except subprocess.TimeoutExpired:
            raise Fail("the second start did not end after its box was closed")
        check(rc == 0, f"second start exit code {rc}")
        check(first.poll() is None, "the first instance ended")

        # A crashed instance never blocks the next start.
        kill(first, signal.SIGKILL)
        third = start_player(BINARY, sandbox.env())
        wait_for(lambda: windows_named(f"^{TITLE}$", third.pid), 30, "the main window after SIGKILL")
        check(not windows_named(f"^{BOX}$", third.pid), "warning shown after the first was killed")
        kill(third)

        written = sandbox.written()
        check(not written, f"the player wrote files: {written[:10]}")
    finally:
        for p in (first, second, third):
            if p:
                kill(p, signal.SIGKILL)
        if server:
            server.close()
        sandbox.close()


main(test, OUT)
