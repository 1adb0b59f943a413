"""The player writes nothing anywhere: one run of the real binary through a channel, 20 channel
switches, every window reached the way a user reaches it (the main window's links, the other
windows' menu bars, the help menu), and the exit by the main window's close box. HOME, the XDG
folders, the runtime folder and the working folder are empty temporary folders, and so is /tmp:
run as root, the player gets a private /tmp (a mount namespace) whose contents are looked at
afterwards; otherwise only the other folders are checked, and the test says so."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from lumivo_e2e import (Fail, Sandbox, StaticServer, check, click, close_window, keys, kill, local_port, main,
                        make_test_stream, screenshot, start_player, wait_for, window_geometry, windows_named)

BINARY, CONTENT_TREE, CONTENT_SERVER, OUT = sys.argv[1:5]
TITLE = "Lumivo网络电视5.5 免安装版"

# The main window's link row (menu strip at y 24; centres of the labels) and the help menu's title.
LINKS = {"Form3": 304, "Form8": 364, "Form4": 430, "Form5": 502, "Form7": 568, "Form6": 686}
LINK_Y = 38
HELP = (105, 34)
# Window captions, and where a click leads back towards the main window: the first item of the
# menu bar, or the radio window's "Lumivo网络电视" link.
CAPTIONS = {
    "Form3": "^Lumivo网络电视5.5$",
    "Form4": r"^Lumivo网络电视5\.5\(电视直播",
    "Form5": "^Lumivo网络收音机1.0 迷你免安装版$",
    "Form6": r"\(聊天室\)$",
    "Form7": r"\(酷狗音乐盒\)$",
    "Form8": r"\(易视直播\)$",
    "Form2": "^关于我们$",
}
FIRST_BAR_ITEM = (24, 10)
# The web-TV window's bar starts with its channel menus; "Lumivo电视直播" is the fifth item from the
# end. From the first menu opened, Left wraps round to the last item.
WEBTV_HOME_KEYS = ["Left"] * 5 + ["Return"]
# Label1 of the radio window, (3240 + 1260 / 2, 4560 + 210 / 2) twips in its 333 px high client
# area, below the menu bar.
RADIO_BACK_LINK = (252, 311)
RADIO_CLIENT_HEIGHT = 333


def make_site(port):
    site = tempfile.mkdtemp(prefix="lumivo-site-")
    base = f"http://127.0.0.1:{port}/stream/"
    subprocess.run([CONTENT_TREE, site, "--stream-default", base + "a.ts", "--stream", f"yitao1={base}a.ts",
                    "--stream", f"ertao={base}b.ts"], check=True, stdout=subprocess.DEVNULL)
    os.makedirs(os.path.join(site, "stream"))
    for name, colour in (("a", "red"), ("b", "blue")):
        make_test_stream(os.path.join(site, "stream", f"{name}.ts"), f"color=c={colour}", "320x180", 20)
    return site


def private_tmp_command(private_tmp):
    """Runs the player with `private_tmp` mounted on /tmp, when this process may make a mount
    namespace; the X server stays reachable through its abstract socket."""
    if os.geteuid() != 0 or not shutil.which("unshare"):
        return None
    probe = subprocess.run(["unshare", "--mount", "true"], capture_output=True)
    if probe.returncode != 0:
        return None
    script = 'mount --make-rprivate / && mount --bind "$0" /tmp && exec "$@"'
    return ["unshare", "--mount", "sh", "-c", script, private_tmp]


def window(caption, pid):
    return wait_for(lambda: windows_named(caption, pid), 30, f"a window named {caption}")[0]


def gone(caption, pid):
    wait_for(lambda: not windows_named(caption, pid), 15, f"the window named {caption} to go")


def test():
    port = local_port(CONTENT_SERVER)
    if not port:
        print("SKIP: the content server of this build is not on 127.0.0.1")
        return
    site = make_site(port)
    server = StaticServer(site, port)
    # Outside /tmp, which the player's own /tmp hides.
    sandbox = Sandbox("/var/tmp" if os.path.isdir("/var/tmp") else None)
    work = os.path.join(sandbox.root, "work")
    private_tmp = os.path.join(sandbox.root, "tmp")
    os.mkdir(work)
    os.mkdir(private_tmp, 0o1777)
    env = sandbox.env()
    if env.get("XAUTHORITY"):  # the virtual display's cookie lives in the outer /tmp
        shutil.copy(env["XAUTHORITY"], os.path.join(sandbox.root, "Xauthority"))
        env["XAUTHORITY"] = os.path.join(sandbox.root, "Xauthority")
    env.pop("TMPDIR", None)
    wrapper = private_tmp_command(private_tmp)
    if wrapper is None:
        print("NOTE: no private /tmp here (not root, or no mount namespaces): /tmp is not checked")
    player = None
    cwd = os.getcwd()
    try:
        os.chdir(work)
        player = start_player(wrapper[0], env, [*wrapper[1:], BINARY]) if wrapper else start_player(BINARY, env)
        os.chdir(cwd)
        pid = player.pid
        main_window = window(f"^{TITLE}$", pid)
        x, y, _, _ = window_geometry(main_window)

        # A channel, then 20 switches between two channels, keyboard only.
        click(x + 40, y + 54)
        time.sleep(0.5)
        keys(main_window, "Right", "Down", "Return")
        wait_for(lambda: "/stream/a.ts" in server.requests, 20, "the first channel's stream")
        for i in range(20):
            target = "/asx/cctv/cctv2.asx" if i % 2 == 0 else "/asx/cctv/cctv1.asx"
            asked = server.requests.count(target)
            keys(main_window, "Down" if i % 2 == 0 else "Up", "Return")
            wait_for(lambda: server.requests.count(target) > asked, 15, f"switch {i + 1}")
            time.sleep(0.4)
        screenshot(os.path.join(OUT, "writes-nothing-playing.png"))

        # Every other window, from the main window's links, and back.
        for form in ("Form3", "Form8", "Form7", "Form4", "Form5"):
            click(x + LINKS[form], y + LINK_Y)
            wid = window(CAPTIONS[form], pid)
            time.sleep(2)  # its pages load
            wx, wy, _, wh = window_geometry(wid)
            if form == "Form4":  # its first item leads to the web-TV window
                click(wx + FIRST_BAR_ITEM[0], wy + FIRST_BAR_ITEM[1])
                wid = window(CAPTIONS["Form3"], pid)
                time.sleep(1)
                wx, wy, _, _ = window_geometry(wid)
                form = "Form3"
            if form == "Form5":
                click(wx + RADIO_BACK_LINK[0], wy + wh - RADIO_CLIENT_HEIGHT + RADIO_BACK_LINK[1])
            else:
                click(wx + FIRST_BAR_ITEM[0], wy + FIRST_BAR_ITEM[1])
            if form == "Form3":
                time.sleep(0.5)
                for key in WEBTV_HOME_KEYS:
                    subprocess.run(["xdotool", "key", key], check=False)
                    time.sleep(0.2)
            main_window = window(f"^{TITLE}$", pid)
            x, y, _, _ = window_geometry(main_window)
        # The chat room opens beside the main window; the About box from the help menu.
        click(x + LINKS["Form6"], y + LINK_Y)
        chat = window(CAPTIONS["Form6"], pid)
        time.sleep(2)
        close_window(chat)
        gone(CAPTIONS["Form6"], pid)
        click(x + HELP[0], y + HELP[1])
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "Down", "Return"], check=False)
        about = window(CAPTIONS["Form2"], pid)
        close_window(about)
        gone(CAPTIONS["Form2"], pid)

        close_window(main_window)
        try:
            code = player.wait(10)
        except subprocess.TimeoutExpired:
            raise Fail("closing the main window did not end the player")
        check(code == 0, f"exit code {code}")
        written = sandbox.written(work, private_tmp)
        check(not written, f"the player wrote: {written[:20]}")
        print(f"nothing written ({'HOME, XDG, runtime, working folder' + (', /tmp' if wrapper else '')})")
    finally:
        os.chdir(cwd)
        if player:
            kill(player)
        server.close()
        sandbox.close()
        shutil.rmtree(site, ignore_errors=True)


main(test, OUT)
