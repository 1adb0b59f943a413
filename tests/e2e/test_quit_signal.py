"""A termination request ends the player cleanly (exit code 0, within 2 s), also while a stream
is still opening right after a channel switch; the single-instance name is free again at once."""

import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

from lumivo_e2e import (Fail, Sandbox, StaticServer, check, click, keys, kill, local_port, main, start_player,
                        wait_for, window_geometry, windows_named)

BINARY, CONTENT_TREE, CONTENT_SERVER = sys.argv[1:4]
TITLE = "Lumivo网络电视5.5 免安装版"
BOX = "Lumivo网络电视"


def test():
    port = local_port(CONTENT_SERVER)
    if not port:
        print("SKIP: the content server of this build is not on 127.0.0.1")
        return
    # The stream's server accepts and never answers: the engine is still opening when the signal comes.
    silent = socket.socket()
    silent.bind(("127.0.0.1", 0))
    silent.listen(16)
    site = tempfile.mkdtemp(prefix="lumivo-site-")
    subprocess.run([CONTENT_TREE, site, "--stream-default", f"http://127.0.0.1:{silent.getsockname()[1]}/live.ts"],
                   check=True, stdout=subprocess.DEVNULL)
    server = StaticServer(site, port)
    sandbox = Sandbox()
    player = None
    try:
        for delay in (0.08, 0.12, 0.15):
            player = start_player(BINARY, sandbox.env())
            wid = wait_for(lambda: windows_named(f"^{TITLE}$", player.pid), 30, "the main window")[0]
            x, y, _, _ = window_geometry(wid)
            asked = server.requests.count("/asx/cctv/cctv1.asx")
            click(x + 40, y + 54)
            time.sleep(0.5)
            keys(wid, "Right", "Down", "Return")
            wait_for(lambda: server.requests.count("/asx/cctv/cctv1.asx") > asked, 15, "the CCTV-1 playlist request")
            time.sleep(delay)
            sent = time.monotonic()
            os.kill(player.pid, signal.SIGTERM)
            try:
                rc = player.wait(5)
            except subprocess.TimeoutExpired:
                raise Fail(f"SIGTERM {delay * 1000:.0f} ms after the switch did not end the player")
            took = time.monotonic() - sent
            print(f"SIGTERM {delay * 1000:.0f} ms after the switch: ended in {took * 1000:.0f} ms, code {rc}")
            check(rc == 0, f"exit code {rc} after SIGTERM")
            check(took < 2.0, f"ending took {took:.2f} s")

        # The name is free again: a new start shows its window, not the "already running" box.
        player = start_player(BINARY, sandbox.env())
        wait_for(lambda: windows_named(f"^{TITLE}$", player.pid), 30, "the main window of the next start")
        check(not windows_named(f"^{BOX}$", player.pid), "the next start was told an instance runs")
        os.kill(player.pid, signal.SIGINT)
        check(player.wait(5) == 0, "exit code after SIGINT")
    finally:
        if player:
            kill(player, signal.SIGKILL)
        server.close()
        silent.close()
        sandbox.close()


main(test)
