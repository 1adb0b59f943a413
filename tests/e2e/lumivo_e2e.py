"""Helpers for end-to-end tests: the real player under a virtual display, local servers on
127.0.0.1, window queries through xdotool, screenshots through ffmpeg."""

import functools
import http.server
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse


OUT = os.environ.get("LUMIVO_E2E_OUT") or tempfile.gettempdir()
_players = []  # (process, path of its stderr log)


class Fail(Exception):
    """A failed check. The evidence is taken when it is raised, while the players still run."""

    def __init__(self, message):
        super().__init__(message)
        self.evidence = capture_evidence()


def capture_evidence():
    """A screenshot of the whole display and the list of its windows, as text."""
    os.makedirs(OUT, exist_ok=True)
    shot = os.path.join(OUT, f"failure-{os.getpid()}-{int(time.time() * 1000)}.png")
    screenshot(shot)
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True)
    windows = "\n".join(line for line in tree.stdout.splitlines() if '"' in line) or tree.stderr
    return f"screenshot: {shot if os.path.exists(shot) else '(none taken)'}\nwindows on the display:\n{windows}"


def player_logs():
    out = []
    for proc, path in _players:
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except OSError:
            text = "(no log)"
        state = "running" if proc.poll() is None else f"exit code {proc.returncode}"
        tail = "\n".join(text.splitlines()[-150:])
        out.append(f"--- player pid {proc.pid} ({state}), stderr:\n{tail}")
    return "\n".join(out)


def check(cond, message):
    if not cond:
        raise Fail(message)


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise Fail(f"timed out after {timeout}s waiting for {what}")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        self.server.requests.append(self.path)
        super().do_GET()


class StaticServer:
    """Serves a folder on 127.0.0.1 and records the paths asked for."""

    def __init__(self, root, port):
        handler = functools.partial(QuietHandler, directory=root)
        http.server.ThreadingHTTPServer.allow_reuse_address = True
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
        self.httpd.requests = []
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    @property
    def requests(self):
        return self.httpd.requests

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def local_port(base_url):
    """The port of a content server on 127.0.0.1, or None when it lives elsewhere."""
    u = urllib.parse.urlsplit(base_url)
    if u.hostname != "127.0.0.1":
        return None
    return u.port or 80


class Sandbox:
    """Empty HOME and XDG folders, so the test can prove nothing is written."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="lumivo-e2e-")
        self.dirs = {}
        for name in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"):
            d = os.path.join(self.root, name.lower())
            os.mkdir(d)
            self.dirs[name] = d
        runtime = os.path.join(self.root, "runtime")
        os.mkdir(runtime, 0o700)
        self.runtime = runtime

    def env(self):
        env = dict(os.environ)
        env.update(self.dirs)
        env["XDG_RUNTIME_DIR"] = self.runtime
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        env.pop("QT_QPA_PLATFORM", None)
        return env

    def written(self):
        found = []
        for d in self.dirs.values():
            for base, _, files in os.walk(d):
                found += [os.path.join(base, f) for f in files]
                if base != d:
                    found.append(base)
        return found

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


def start_player(binary, env, args=(), interactive=False):
    """Starts the player; its stderr goes to a log that a failure prints. An interactive program
    takes commands on stdin and answers on stdout (text pipes)."""
    log = tempfile.NamedTemporaryFile(prefix="lumivo-stderr-", suffix=".log", delete=False)
    pipes = dict(stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1) if interactive \
        else dict(stdout=subprocess.DEVNULL)
    proc = subprocess.Popen([binary, *args], env=env, stderr=log, start_new_session=True, **pipes)
    log.close()
    _players.append((proc, log.name))
    return proc


def stderr_of(proc):
    for p, path in _players:
        if p is proc:
            with open(path, encoding="utf-8", errors="replace") as f:
                return f.read()
    return ""


def windows_named(name, pid=None):
    cmd = ["xdotool", "search", "--all", "--onlyvisible", "--name", name]
    if pid is not None:
        cmd[2:2] = ["--pid", str(pid)]
    out = subprocess.run(cmd, capture_output=True, text=True).stdout.split()
    return out


def window_title(wid):
    return subprocess.run(["xdotool", "getwindowname", wid], capture_output=True, text=True).stdout.strip()


def screenshot(path):
    display = os.environ.get("DISPLAY", ":99")
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "x11grab", "-i", display,
                    "-frames:v", "1", path], check=False)


def window_geometry(wid):
    """(x, y, width, height) of a window on the screen."""
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid], capture_output=True, text=True).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def keys(wid, *names):
    for name in names:
        subprocess.run(["xdotool", "key", "--window", wid, name], check=False)
        time.sleep(0.15)


def click(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=False)


def lit_share(x, y, width, height):
    """Share of screen pixels in a rectangle that are not near black."""
    display = os.environ.get("DISPLAY", ":99")
    raw = subprocess.run(["ffmpeg", "-loglevel", "error", "-f", "x11grab", "-video_size", f"{width}x{height}",
                          "-i", f"{display}+{x},{y}", "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "gray", "-"],
                         capture_output=True).stdout
    if not raw:
        return 0.0
    return sum(1 for b in raw if b > 40) / len(raw)


def kill(proc, sig=signal.SIGTERM):
    if proc.poll() is None:
        os.killpg(proc.pid, sig)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()


def main(test):
    try:
        test()
    except Exception as e:  # noqa: BLE001 - every failure must explain itself
        evidence = e.evidence if isinstance(e, Fail) else capture_evidence()
        kind = "FAIL" if isinstance(e, Fail) else f"ERROR ({type(e).__name__})"
        print(f"{kind}: {e}\n{evidence}\n{player_logs()}", file=sys.stderr)
        sys.exit(1)
    finally:
        for _, path in _players:
            try:
                os.unlink(path)
            except OSError:
                pass
    print("PASS")
