"""A channel plays end to end: the player against a local content server whose playlists name
an FFmpeg test stream. Keyboard only after one click: expand the category, Enter on the channel.
A region node and a channel without a stream change nothing."""

import os
import subprocess
import sys
import tempfile
import time

from lumivo_e2e import (Fail, Sandbox, StaticServer, check, keys, kill, lit_share, local_port, main, make_test_stream,
                        screenshot, click, start_player, wait_for, window_geometry, windows_named)

BINARY, CONTENT_TREE, CONTENT_SERVER, OUT = sys.argv[1:5]
TITLE = "Lumivo网络电视5.5 免安装版"


def make_site(port):
    site = tempfile.mkdtemp(prefix="lumivo-site-")
    stream_url = f"http://127.0.0.1:{port}/stream/test.ts"
    subprocess.run([CONTENT_TREE, site, "--stream-default", stream_url], check=True, stdout=subprocess.DEVNULL)
    os.makedirs(os.path.join(site, "stream"))
    make_test_stream(os.path.join(site, "stream", "test.ts"))
    return site


def playlist_requests(server):
    return [p for p in server.requests if p.startswith("/asx/")]


def test():
    port = local_port(CONTENT_SERVER)
    if not port:
        print("SKIP: the content server of this build is not on 127.0.0.1")
        return
    site = make_site(port)
    server = StaticServer(site, port)
    sandbox = Sandbox()
    player = None
    try:
        player = start_player(BINARY, sandbox.env())
        wid = wait_for(lambda: windows_named(f"^{TITLE}$", player.pid), 30, "the main window")[0]
        x, y, _, _ = window_geometry(wid)
        # Focus the tree on its first row ("中央电视台"), then the keyboard does the rest.
        click(x + 40, y + 54)
        time.sleep(0.5)
        keys(wid, "Right", "Down", "Return")
        wait_for(lambda: "/asx/cctv/cctv1.asx" in server.requests, 15, "the CCTV-1 playlist request")
        wait_for(lambda: "/stream/test.ts" in server.requests, 15, "the stream request")
        # The band of the player below the ad panel shows the picture.
        band = (x + 170, y + 440, 540, 45)
        wait_for(lambda: lit_share(*band) > 0.3, 20, "a picture in the player area")
        screenshot(os.path.join(OUT, "channel-playing.png"))

        asked = len(playlist_requests(server))
        # A region: Left to the category, collapse, down to "地方电视台", expand, down to "北京市".
        keys(wid, "Left", "Left", "Down", "Right", "Down", "Return")
        # A channel without a stream: collapse, down to "港台电视台", expand, type to "IMTV网络电视".
        keys(wid, "Left", "Left", "Down", "Right", "I", "M", "T", "V", "Return")
        time.sleep(2)
        check(len(playlist_requests(server)) == asked, f"a node without a stream opened something: {server.requests[-5:]}")
        check(lit_share(*band) > 0.3, "the picture stopped after clicks that should change nothing")
        screenshot(os.path.join(OUT, "after-region-and-unlisted.png"))
        check(player.poll() is None, "the player ended")
        kill(player)
        written = sandbox.written()
        check(not written, f"playing wrote files: {written[:10]}")
    finally:
        if player:
            kill(player)
        server.close()
        sandbox.close()


main(test, OUT)
