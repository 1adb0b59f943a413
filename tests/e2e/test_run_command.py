"""The README's run command end to end: `scripts/run` on a build whose content server is the local
default serves the demo tree and test stream, a channel chosen by keyboard plays it, and closing the
player stops the server and the stream. Interrupting the script stops the player and both as well.
The window carries the icon and the class the desktop entry names."""

import configparser
import os
import re
import signal
import socket
import subprocess
import sys
import time

from lumivo_e2e import (Fail, Sandbox, check, click, close_window, keys, kill, lit_share, local_port, main,
                        screenshot, start_player, wait_for, window_geometry, windows_named)

ROOT, BUILD, CONTENT_SERVER, OUT = sys.argv[1:5]
TITLE = "Lumivo网络电视5.5 免安装版"
ICON_SIZES = {16, 24, 32, 48, 64, 128, 256}


def serving(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1):
            return True
    except OSError:
        return False


def demo_streams():
    """FFmpeg processes writing a demo stream (their output lies in the demo's temporary folder)."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                args = f.read().split(b"\0")
        except OSError:
            continue
        if args and os.path.basename(args[0]) == b"ffmpeg" and any(b"lumivo-demo-" in a for a in args):
            found.append(int(pid))
    return found


def leftovers(tmp):
    """What the demo left of its temporary folder (Qt's own runtime folder may stay beside it)."""
    return [os.path.join(tmp, name) for name in os.listdir(tmp) if name.startswith("lumivo-demo-")]


def startup_wm_class():
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(os.path.join(ROOT, "packaging", "lumivo.desktop"), encoding="utf-8")
    return entry["Desktop Entry"]["StartupWMClass"]


def check_identity(wid):
    wm_class = subprocess.run(["xprop", "-id", wid, "WM_CLASS"], capture_output=True, text=True).stdout
    names = re.findall(r'"([^"]*)"', wm_class)
    check(len(names) == 2 and names[1] == startup_wm_class(),
          f"WM_CLASS {names} does not match the desktop entry's StartupWMClass {startup_wm_class()!r}")
    icon = subprocess.run(["xprop", "-len", "100000000", "-id", wid, "_NET_WM_ICON"], capture_output=True, text=True).stdout
    sizes = {int(w) for w, h in re.findall(r"Icon \((\d+) x (\d+)\)", icon) if w == h}
    check(sizes == ICON_SIZES, f"window icon sizes {sorted(sizes)}, expected {sorted(ICON_SIZES)}")


def start_run(sandbox, tmp, session_runtime=True):
    env = sandbox.env()
    env["TMPDIR"] = tmp
    if not session_runtime:
        env.pop("XDG_RUNTIME_DIR")
    run = start_player(os.path.join(ROOT, "scripts", "run"), env, [BUILD])
    # The first start may still build; the window shows once the stream is up.
    def window_or_ended():
        check(run.poll() is None, f"the run command ended with status {run.returncode} before a window showed")
        return windows_named(f"^{TITLE}$")

    wid = wait_for(window_or_ended, 180, "the main window")[0]
    return run, wid


def check_all_stopped(run, port, tmp, how):
    try:
        run.wait(30)
    except subprocess.TimeoutExpired:
        raise Fail(f"scripts/run still runs 30 s after {how}")
    check(not windows_named(f"^{TITLE}$"), f"the main window is still there after {how}")
    check(not serving(port), f"port {port} still accepts connections after {how}")
    check(not demo_streams(), f"the demo's FFmpeg still runs after {how}: {demo_streams()}")
    check(not leftovers(tmp), f"temporary files left after {how}: {leftovers(tmp)[:5]}")
    return run.returncode


def test():
    port = local_port(CONTENT_SERVER)
    if not port:
        print("SKIP: the content server of this build is not on 127.0.0.1; scripts/run starts the player alone")
        return
    check(not serving(port), f"something already listens on 127.0.0.1:{port}")
    sandbox = Sandbox()
    tmp = os.path.join(sandbox.root, "tmp")
    os.mkdir(tmp)
    run = None
    try:
        # A terminal without a session runtime folder (su, a bare X server, a chroot): the sound
        # output then must still leave nothing in the home folder.
        run, wid = start_run(sandbox, tmp, session_runtime=False)
        check_identity(wid)
        check(serving(port), "the demo server does not listen beside the player")
        check(demo_streams(), "no demo stream runs beside the player")

        x, y, _, _ = window_geometry(wid)
        click(x + 40, y + 54)  # focus the tree on its first row, "中央电视台"
        time.sleep(0.5)
        keys(wid, "Right", "Down", "Return")
        band = (x + 170, y + 440, 540, 45)
        wait_for(lambda: lit_share(*band) > 0.3, 40, "a picture of the test stream in the player area")
        screenshot(os.path.join(OUT, "run-command-playing.png"))

        close_window(wid)
        rc = check_all_stopped(run, port, tmp, "closing the player")
        check(rc == 0, f"scripts/run ended with status {rc} after the player was closed")

        # Ctrl-C reaches the script: it ends the player itself, then the server and the stream.
        run, wid = start_run(sandbox, tmp)
        wait_for(lambda: serving(port), 10, "the demo server of the second start")
        os.kill(run.pid, signal.SIGINT)
        check_all_stopped(run, port, tmp, "interrupting scripts/run")

        written = sandbox.written()
        check(not written, f"running wrote files: {written[:10]}")
    finally:
        if run:
            kill(run)
        sandbox.close()


main(test, OUT)
