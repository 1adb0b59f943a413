"""What the benchmarks share: an own X server, local streams and the content tree on 127.0.0.1,
the pixel poller, the player started as a user starts it, and figures printed the same way."""

import array
import collections
import functools
import http.server
import os
import pwd
import re
import shutil
import signal
import statistics
import subprocess
import tempfile
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TITLE = "Lumivo网络电视5.5 免安装版"
SCREEN = (2000, 1000)


def log(message):
    print(message, flush=True)


def load():
    return subprocess.run(["uptime"], capture_output=True, text=True).stdout.strip()


class Xvfb:
    """An X server of our own: known size, white root (a black window shows when painted)."""

    def __init__(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                                      "-wr", "-nolisten", "tcp"], pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            self.display = ":" + f.readline().strip()
        os.environ["DISPLAY"] = self.display

    def close(self):
        self.proc.terminate()
        self.proc.wait()


class Poller:
    """The pixel poller (bench/pixelpoll.c), compiled on first use into the build folder."""

    def __init__(self, build_dir):
        binary = Path(build_dir) / "bench" / "pixelpoll"
        source = ROOT / "bench" / "pixelpoll.c"
        if not binary.exists() or binary.stat().st_mtime < source.stat().st_mtime:
            binary.parent.mkdir(parents=True, exist_ok=True)
            libxtst = next(Path("/usr/lib").glob("*/libXtst.so.6"), None) or "-lXtst"
            subprocess.run(["cc", "-O2", "-o", str(binary), str(source), "-lX11", str(libxtst)], check=True)
        self.proc = subprocess.Popen([str(binary)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                     bufsize=1)

    def ask(self, line):
        self.proc.stdin.write(line + "\n")
        return self.proc.stdout.readline().split()

    def wait(self, rect, rgb, tol, count, timeout_ms, save=None):
        """CLOCK_MONOTONIC time of the first grab with count pixels of the colour, or None."""
        answer = self.ask(f"wait {' '.join(map(str, rect))} {' '.join(map(str, rgb))} {tol} {count} {timeout_ms}"
                          + (f" {save}" if save else ""))
        return float(answer[1]) if answer[0] == "hit" else None

    def key(self, keysym):
        return float(self.ask(f"key {keysym}")[1])

    def cost(self, rect, n=200):
        return float(self.ask(f"cost {' '.join(map(str, rect))} {n}")[1])

    def close(self):
        self.proc.stdin.close()
        self.proc.wait()


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".ts": "video/mp2t",
                      ".asx": "video/x-ms-asf", ".html": "text/html; charset=utf-8"}

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.server.requests.append((time.monotonic(), self.path))  # when its request line arrived
        super().do_GET()


def serve(root, port):
    http.server.ThreadingHTTPServer.allow_reuse_address = True
    httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Quiet, directory=str(root)))
    httpd.daemon_threads = True
    httpd.requests = []
    httpd.handle_error = lambda *args: None  # a player closing a connection early is no fault
    threading.Thread(target=httpd.serve_forever, daemon=True).start()
    return httpd


def content_port(build_dir):
    cache = (Path(build_dir) / "CMakeCache.txt").read_text(errors="replace")
    m = re.search(r"^LUMIVO_CONTENT_SERVER:\w+=http://127\.0\.0\.1:(\d+)\s*$", cache, re.M)
    if not m:
        raise SystemExit("the build's content server is not on 127.0.0.1; configure with "
                         "-DLUMIVO_CONTENT_SERVER=http://127.0.0.1:8617")
    return int(m.group(1))


def stream_cache(build_dir):
    cache = Path(build_dir).resolve() / "bench" / "streams"
    cache.mkdir(parents=True, exist_ok=True)
    return cache


def make_stream(path, video, seconds, preset="veryfast"):
    """H.264 720p25 (GOP 25) with AAC sound in MPEG-TS, as a channel sends it. Every open plays it
    from its start, so a few tens of seconds last a whole benchmark."""
    if Path(path).exists():
        return
    # A source without options of its own ("testsrc2") takes its first one after "=".
    source = f"{video}{':' if '=' in video else '='}size=1280x720:rate=25"
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i", source,
                    "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000", "-t", str(seconds),
                    "-c:v", "libx264", "-preset", preset, "-g", "25", "-pix_fmt", "yuv420p",
                    "-c:a", "aac", "-b:a", "96k", "-f", "mpegts", str(path)], check=True)


def make_site(build_dir, port, streams, default):
    """Content tree whose playlists name local streams: streams maps channel keys to file names."""
    site = Path(tempfile.mkdtemp(prefix="lumivo-bench-"))
    base = f"http://127.0.0.1:{port}/stream/"
    args = [str(Path(build_dir) / "tools/content-tree/lumivo-content-tree"), str(site),
            "--stream-default", base + default]
    for key, name in streams.items():
        args += ["--stream", f"{key}={base}{name}"]
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
    (site / "stream").symlink_to(stream_cache(build_dir))
    return site, base


def player_user():
    """Who the players run as. Run as root, the benchmarks start every player as an ordinary user
    (LUMIVO_BENCH_USER, default benchuser): as a user runs them, with the web engine's sandbox on,
    and VLC refuses to run as root. None when the benchmark itself runs as an ordinary user."""
    if os.geteuid() != 0:
        return None
    name = os.environ.get("LUMIVO_BENCH_USER", "benchuser")
    try:
        return pwd.getpwnam(name)
    except KeyError:
        raise SystemExit(f"run as root, the players run as the ordinary user '{name}': create it "
                         f"(useradd -m {name}) or name another in LUMIVO_BENCH_USER") from None


def user_dir(prefix):
    """A fresh temporary folder the players' user owns."""
    folder = Path(tempfile.mkdtemp(prefix=prefix))
    user = player_user()
    if user:
        os.chown(folder, user.pw_uid, user.pw_gid)
    return folder


def user_env(sound_card):
    """A fresh HOME as a new user has; with sound_card, ALSA's default device is a null sink, which
    behaves as a machine with a sound card does (this one has none)."""
    home = user_dir("lumivo-home-")
    runtime = home / "runtime"
    runtime.mkdir(mode=0o700)
    if sound_card:
        (home / ".asoundrc").write_text("pcm.!default { type null }\n")
    user = player_user()
    if user:
        for path in (runtime, home / ".asoundrc"):
            if path.exists():
                os.chown(path, user.pw_uid, user.pw_gid)
    env = dict(os.environ, HOME=str(home), XDG_RUNTIME_DIR=str(runtime))
    if user:
        env.update(USER=user.pw_name, LOGNAME=user.pw_name)
    for inherited in ("QT_QPA_PLATFORM", "QTWEBENGINE_DISABLE_SANDBOX", "QTWEBENGINE_CHROMIUM_FLAGS"):
        env.pop(inherited, None)
    return env, home


def _resident_frames(pid):
    """Physical frames of the resident pages of pid (reading them needs root)."""
    frames = set()
    ranges = []
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            first = line.split(None, 1)[0]
            if "-" in first and not first.endswith(":"):
                lo, hi = first.split("-")
                ranges.append([int(lo, 16), int(hi, 16), 0])
            elif first == "Rss:":
                ranges[-1][2] = int(line.split()[1])
    with open(f"/proc/{pid}/pagemap", "rb", buffering=0) as pagemap:
        for lo, hi, rss in ranges:
            if rss == 0:
                continue  # reserved address space (the web engine reserves tens of GB)
            pagemap.seek(lo // 4096 * 8)
            entries = array.array("Q")
            entries.frombytes(pagemap.read((hi - lo) // 4096 * 8))
            frames.update(e & ((1 << 55) - 1) for e in entries if e >> 63)
    return frames


def pss_mb(pids):
    """{pid: MB} proportional set size counted among the given processes only: a page shared by k
    of them counts 1/k to each, whatever else maps it. The kernel's PSS also divides by processes
    outside the measured tree, so another program on the machine sharing the web engine's or the
    codecs' libraries would make the figure shrink; this is the PSS the tree has on its own.
    Without root (no page frames), falls back to the kernel's PSS."""
    if os.geteuid() != 0:
        out = {}
        for pid in pids:
            try:
                with open(f"/proc/{pid}/smaps_rollup") as f:
                    out[pid] = next(int(l.split()[1]) for l in f if l.startswith("Pss:")) / 1024
            except (OSError, StopIteration):
                pass
        return out
    frames = {}
    for pid in pids:
        try:
            frames[pid] = _resident_frames(pid)
        except OSError:
            pass  # ended meanwhile
    sharers = collections.Counter()
    for f in frames.values():
        sharers.update(f)
    return {pid: sum(1 / sharers[x] for x in f) * 4 / 1024 for pid, f in frames.items()}


def start(args, env, log=None):
    """Starts a program in its own session, as the ordinary user when there is one; its stderr
    goes to the file `log` if given."""
    user = player_user()
    ids = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[]) if user else {}
    err = open(log, "wb") if log else subprocess.DEVNULL
    try:
        return subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=err, start_new_session=True, **ids)
    finally:
        if log:
            err.close()


def stop(proc):
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def window_of(pid, name, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--name", name)
        if found:
            return found[0]
        time.sleep(0.05)
    raise RuntimeError(f"no window '{name}' of process {pid}")


def geometry(wid):
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid], capture_output=True, text=True).stdout
    v = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])


def summary(name, times):
    times = sorted(times)
    q = statistics.quantiles(times, n=4) if len(times) >= 2 else [times[0]] * 3
    return (f"{name:<34} median {statistics.median(times):7.1f}  quartiles {q[0]:7.1f}–{q[2]:7.1f}  "
            f"min {times[0]:7.1f}  max {times[-1]:7.1f}  (n={len(times)})")


def to_png(ppm, png):
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", str(ppm), str(png)], check=True)
    os.unlink(ppm)


def cleanup(*paths):
    for p in paths:
        shutil.rmtree(p, ignore_errors=True)


def tree(pid):
    """pid and all its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    out, todo = [], [pid]
    while todo:
        p = todo.pop()
        out.append(p)
        todo += children.get(p, [])
    return out


class TreePlayer:
    """The real player driven as a user does: the tree focused by a click on its first row, then
    the keyboard only, switching between CCTV-1 and CCTV-2 (red and blue in the benchmarks' content
    tree). switch() ends on the new channel's colour in the picture."""

    RED, BLUE = (255, 0, 0), (0, 0, 255)
    TOL, COUNT = 60, 20  # 20 pixels: one stray pixel of the skin never ends a run
    TIMEOUT_MS = 8000

    def __init__(self, binary, env, poller, log=None):
        self.poller = poller
        self.proc = start([binary], env, log)
        self.wid = window_of(self.proc.pid, f"^{TITLE}$")
        x, y, _, _ = geometry(self.wid)
        self.band = (x + 170, y + 440, 540, 45)
        time.sleep(4)  # the ad page has loaded: a user does not switch in the first seconds
        # Focus the tree on its first row ("中央电视台"), open it, go to CCTV-1.
        xdotool("mousemove", str(x + 40), str(y + 54), "click", "1")
        time.sleep(0.5)
        for k in ("Right", "Down"):
            poller.key(k)
            time.sleep(0.2)
        self.on = "red"

    def switch(self, save=None):
        """Moves to the other channel (untimed), then Return: ms until its colour shows."""
        target = "blue" if self.on == "red" else "red"
        self.poller.key("Down" if target == "blue" else "Up")
        time.sleep(0.3)
        sent = self.poller.key("Return")
        hit = self.poller.wait(self.band, self.BLUE if target == "blue" else self.RED, self.TOL, self.COUNT,
                                 self.TIMEOUT_MS, save)
        self.on = target
        self.last = (sent, hit)
        return None if hit is None else (hit - sent) * 1000
