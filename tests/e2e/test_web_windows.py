"""Each web window opens with its pages loaded by the real web engine: the content tree served on
127.0.0.1, the same server acting as the engine's HTTP proxy for the outside hosts of the build
values (chat room, music box, live site, web-TV player page), which it answers with the tree's
stand-ins. Nothing leaves this machine. One screenshot per window."""

import functools
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

from lumivo_e2e import (Sandbox, check, kill, main, screenshot, start_player, stderr_of, wait_for,
                        window_geometry, windows_named)

(SHOW, CONTENT_TREE, OUT, CONTENT, PORTAL, WEBTV, CHAT, MUSIC, YISHI) = sys.argv[1:10]

AD = f"{CONTENT}/ad/cntvad.html"
CCTV1 = f"{WEBTV}/cctv/cctvplayer.html?width=550&height=480&channel=pa://cctv_p2p_cctv1&type=p2p"

# Window, caption, client width, the pages its load asks for.
WINDOWS = [
    ("Form3", "Lumivo网络电视5.5", 669, [AD, CCTV1]),
    ("Form4", "Lumivo网络电视5.5(电视直播.电影.电视剧) ", 943, [f"{PORTAL}/3tv/"]),
    ("Form6", "Lumivo网络电视5.5(聊天室)", 751, [CHAT, AD]),
    ("Form7", "Lumivo网络电视5.5(酷狗音乐盒)", 837, [MUSIC, AD]),
    ("Form8", "Lumivo网络电视5.5(易视直播)", 946, [AD, YISHI]),
]

# Outside pages, answered from the tree's stand-ins.
STAND_INS = {CHAT: "/chat/index.html", MUSIC: "/music/index.html", YISHI: "/live/index.html"}


def exact_title(wid):
    """The window's title as it is, trailing spaces included."""
    out = subprocess.run(["xdotool", "getwindowname", wid], capture_output=True, text=True).stdout
    return out[:-1] if out.endswith("\n") else out


def without_query(url):
    return url.split("?", 1)[0]


class Handler(http.server.SimpleHTTPRequestHandler):
    """Origin-form requests for the local servers, absolute-form ones as the engine's proxy."""

    def log_message(self, *args):
        pass

    def do_GET(self):
        absolute = self.path if self.path.startswith("http://") else f"http://{self.headers['Host']}{self.path}"
        self.server.log.append(absolute)
        target = urllib.parse.urlsplit(absolute)
        stand_in = STAND_INS.get(without_query(absolute))
        if stand_in:
            self.path = stand_in
        elif without_query(absolute).startswith(f"{WEBTV}/cctv/"):
            self.path = target.path + (f"?{target.query}" if target.query else "")
        elif target.hostname != "127.0.0.1" and not any(absolute.startswith(b) for b in (CONTENT, PORTAL)):
            self.send_error(404, "not a page of this test")
            return
        else:
            self.path = target.path + (f"?{target.query}" if target.query else "")
        super().do_GET()


def local_ports():
    ports = set()
    for base in (CONTENT, PORTAL, WEBTV, CHAT, MUSIC, YISHI):
        u = urllib.parse.urlsplit(base)
        if u.hostname == "127.0.0.1":
            ports.add(u.port or 80)
    return ports or {8617}


def test():
    site = tempfile.mkdtemp(prefix="lumivo-web-")
    subprocess.run([CONTENT_TREE, site, "--stream-default", "http://127.0.0.1:1/none.ts"], check=True,
                   stdout=subprocess.DEVNULL)
    log = []
    servers = []
    for port in sorted(local_ports()):
        http.server.ThreadingHTTPServer.allow_reuse_address = True
        httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Handler, directory=site))
        httpd.log = log
        threading.Thread(target=httpd.serve_forever, daemon=True).start()
        servers.append(httpd)
    proxy = f"http://127.0.0.1:{servers[0].server_address[1]}"
    sandbox = Sandbox()
    env = sandbox.env()
    # Every host that is not this machine goes through the test server; none is looked up.
    env["QTWEBENGINE_CHROMIUM_FLAGS"] = f"--proxy-server={proxy}"
    try:
        for name, caption, width, pages in WINDOWS:
            del log[:]
            proc = start_player(SHOW, env, [name])
            try:
                wids = wait_for(lambda: [w for w in windows_named("Lumivo", proc.pid) if exact_title(w) == caption],
                                30, f"{name} titled '{caption}'")
                wait_for(lambda: all(p in log for p in pages), 30, f"{name}'s pages {pages}; asked so far: {log}")
                # The panes load side by side, so the order the requests arrive in says nothing about
                # the order of the navigations; the unit tests check that.
                asked = [u for u in log if u in pages]
                _, _, w, _ = window_geometry(wids[0])
                check(w == width, f"{name} is {w} pixels wide, expected {width}")
                time.sleep(3)  # let the pages paint
                check(proc.poll() is None, f"{name}'s program ended: {stderr_of(proc)[-2000:]}")
                screenshot(os.path.join(OUT, f"web-window-{name}.png"))
                print(f"{name}: {' , '.join(asked)}")
            finally:
                kill(proc)
    finally:
        for httpd in servers:
            httpd.shutdown()
            httpd.server_close()
        sandbox.close()


main(test)
