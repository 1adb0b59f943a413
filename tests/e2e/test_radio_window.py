"""The radio window end to end: its player plays a local FFmpeg audio stream, 最小化 (clicked on
the menu bar) hides the window into the notification area while the sound goes on, and a left
double-click on the icon brings the window back. The display has no tray, so the program under
test uses the notification-area double and the script plays the shell's mouse messages."""

import os
import queue
import subprocess
import sys
import tempfile
import threading
import time

from lumivo_e2e import Fail, Sandbox, StaticServer, check, click, kill, main, screenshot, start_player, wait_for, \
    windows_named

BINARY, OUT = sys.argv[1:3]
TITLE = "Lumivo网络收音机1.0 迷你免安装版"
PLAYING = 3  # PlaybackStage::Playing
WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP = 0x201, 0x202, 0x203, 0x205


class Program:
    """The test program's stdin and stdout as commands and answers."""

    def __init__(self, proc):
        self.proc = proc
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.strip())

    def send(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()

    def expect(self, prefix, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                line = self.lines.get(timeout=max(0.05, deadline - time.monotonic()))
            except queue.Empty:
                break
            if line.startswith(prefix):
                return line
        raise Fail(f"no '{prefix}' line from the program within {timeout}s")

    def state(self):
        self.send("state")
        fields = self.expect("state ", 10).split()[1:]
        values = dict(f.split("=", 1) for f in fields)
        return {k: float(v) if k == "position" else int(v) for k, v in values.items()}


def make_stream(site):
    path = os.path.join(site, "radio.mp3")
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=120",
                    "-c:a", "libmp3lame", "-b:a", "64k", "-f", "mp3", path], check=True)


def shown(pid):
    return bool(windows_named(f"^{TITLE}$", pid))


def test():
    site = tempfile.mkdtemp(prefix="lumivo-radio-")
    make_stream(site)
    server = StaticServer(site, 0)
    port = server.httpd.server_address[1]
    sandbox = Sandbox()
    proc = None
    try:
        proc = start_player(BINARY, sandbox.env(), interactive=True)
        program = Program(proc)
        _, _, x, y = program.expect("ready ", 60).split()
        wait_for(lambda: shown(proc.pid), 20, "the radio window on screen")

        program.send(f"play http://127.0.0.1:{port}/radio.mp3")
        wait_for(lambda: "/radio.mp3" in server.requests, 15, "the stream request")
        wait_for(lambda: program.state()["stage"] == PLAYING and program.state()["position"] > 0.5, 30,
                 "the station playing")
        screenshot(os.path.join(OUT, "radio-playing.png"))

        # 最小化 on the menu bar: a real click.
        click(int(x), int(y))
        wait_for(lambda: not shown(proc.pid), 10, "the radio window to leave the screen")
        state = program.state()
        check(state["visible"] == 0 and state["icons"] == 1, f"not in the tray: {state}")
        before = state["position"]
        time.sleep(3)
        state = program.state()
        check(state["stage"] == PLAYING, f"playback stopped in the tray: {state}")
        check(state["position"] > before + 1.5, f"the sound did not go on in the tray: {before} -> {state}")

        # Single clicks and a right click leave it in the tray; the double-click restores it.
        for message in (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP):
            program.send(f"tray {message}")
        time.sleep(1)
        check(not shown(proc.pid) and program.state()["icons"] == 1, "a single click restored the window")
        for message in (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP):
            program.send(f"tray {message}")
        wait_for(lambda: shown(proc.pid), 10, "the radio window back on screen")
        state = program.state()
        check(state["visible"] == 1 and state["icons"] == 0, f"not restored: {state}")
        check(state["stage"] == PLAYING, f"restoring stopped playback: {state}")
        screenshot(os.path.join(OUT, "radio-restored.png"))

        program.send("quit")
        proc.wait(20)
        check(proc.returncode == 0, f"the program ended with {proc.returncode}")
    finally:
        if proc:
            kill(proc)
        server.close()
        sandbox.close()


main(test)
