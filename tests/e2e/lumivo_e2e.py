"""Helpers for end-to-end tests: the real player under a virtual display, local servers on
127.0.0.1, window queries through xdotool, screenshots through ffmpeg. A failing test prints the
output of every program it started, the window list and a screenshot taken when it failed."""

import ctypes
import ctypes.util
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
import traceback
import urllib.parse

_out_dir = None  # where failure screenshots go; set by main()
_started = []  # (program, process, output file) for the failure report
_snapshot = None  # (screenshot path, window list) at the first failure


class Fail(Exception):
    def __init__(self, message):
        super().__init__(message)
        # The test's cleanup closes the windows before main() sees the failure: look now.
        take_failure_snapshot()


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


def make_test_stream(path, source="testsrc2", size="640x360", seconds=40):
    """A live-TV-like test stream: H.264 (a key frame a second) and AAC in MPEG-TS, from the lavfi
    video source `source` (which may carry options of its own: "color=c=red")."""
    video = f"{source}{':' if '=' in source else '='}size={size}:rate=25:duration={seconds}"
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i", video, "-f", "lavfi", "-i",
                    f"sine=frequency=440:duration={seconds}", "-c:v", "libx264", "-preset", "ultrafast", "-g", "25",
                    "-pix_fmt", "yuv420p", "-c:a", "aac", "-f", "mpegts", str(path)], check=True)


class Sandbox:
    """Empty HOME and XDG folders, so the test can prove nothing is written."""

    def __init__(self, parent=None):
        self.root = tempfile.mkdtemp(prefix="lumivo-e2e-", dir=parent)
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

    def written(self, *extra):
        """Everything in HOME, the XDG folders, the runtime folder and the extra folders."""
        found = []
        for d in [*self.dirs.values(), self.runtime, *extra]:
            for base, _, files in os.walk(d):
                found += [os.path.join(base, f) for f in files]
                if base != d:
                    found.append(base)
        return found

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


def start_player(binary, env, args=(), interactive=False):
    """Starts a program in its own session; its stderr (and, unless it is interactive, its
    stdout) goes to a file shown if the test fails. An interactive program takes commands on
    stdin and answers on stdout (text pipes)."""
    output = tempfile.NamedTemporaryFile(prefix="lumivo-e2e-", suffix=".log", delete=False)
    try:
        pipes = dict(stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1) if interactive \
            else dict(stdout=output)
        proc = subprocess.Popen([binary, *args], env=env, stderr=output, start_new_session=True, **pipes)
    finally:
        output.close()
    _started.append((os.path.basename(binary), proc, output.name))
    return proc


def stderr_of(proc):
    """What a program started by start_player has written to its log so far."""
    for _, p, path in _started:
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


def window_list():
    """Every named window: id, name, class, geometry, and whether it is mapped."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    visible = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ""], capture_output=True,
                             text=True).stdout.split()
    visible = {int(w) for w in visible if w.isdigit()}
    lines = []
    for line in tree.splitlines():
        line = line.strip()
        if not line.startswith("0x") or "(has no name)" in line:
            continue
        mapped = int(line.split()[0], 16) in visible
        lines.append(f"{line}{'  [visible]' if mapped else ''}")
    return "\n".join(lines) or "(no named windows)"


def take_failure_snapshot():
    global _snapshot
    if _snapshot is not None or not os.environ.get("DISPLAY"):
        return
    name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    path = os.path.join(_out_dir or os.environ.get("LUMIVO_E2E_OUT") or tempfile.gettempdir(), f"FAILED-{name}.png")
    screenshot(path)
    _snapshot = (path, window_list())


def close_window(wid):
    """Asks a window to close the way its close box does: a WM_DELETE_WINDOW message."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):  # XEvent: every event padded to 24 longs
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    display = x11.XOpenDisplay(None)
    if not display:
        raise Fail("cannot open the X display to close a window")
    try:
        event = Event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = int(wid)
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        x11.XSendEvent(display, int(wid), 0, 0, ctypes.byref(event))
        x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)


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


def report_failure():
    for program, proc, path in _started:
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                lines = f.read().splitlines()
        except OSError:
            lines = []
        status = proc.poll()
        print(f"--- output of {program} (pid {proc.pid}, {'running' if status is None else f'status {status}'}),"
              f" last {min(len(lines), 200)} of {len(lines)} lines ---", file=sys.stderr)
        for line in lines[-200:]:
            print(line, file=sys.stderr)
    take_failure_snapshot()  # a failure other than Fail: the screen as it is now
    if _snapshot:
        path, windows = _snapshot
        print(f"--- screenshot at the failure: {path}", file=sys.stderr)
        print(f"--- windows at the failure:\n{windows}", file=sys.stderr)


def main(test, out_dir=None):
    global _out_dir
    _out_dir = out_dir
    try:
        test()
    except Exception as e:
        if isinstance(e, Fail):
            print(f"FAIL: {e}", file=sys.stderr)
        else:
            traceback.print_exc()
        report_failure()
        sys.exit(1)
    finally:
        for _, _, path in _started:
            try:
                os.unlink(path)
            except OSError:
                pass
    print("PASS")
