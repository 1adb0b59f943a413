"""A player whose engines cannot start says so and ends with a non-zero code, never a crash:
the playback engine's library refusing to make a core, no display at all, and a display named
that no X server answers."""

import os
import subprocess
import sys

from lumivo_e2e import Fail, Sandbox, check, main

BINARY, NO_MPV_CORE = sys.argv[1], sys.argv[2]


def run(env):
    try:
        done = subprocess.run([BINARY], env=env, capture_output=True, timeout=60)
    except subprocess.TimeoutExpired:
        raise Fail("the player did not end")
    return done.returncode, done.stderr.decode("utf-8", "replace")


def test():
    sandbox = Sandbox()
    try:
        env = sandbox.env()
        env["QT_QPA_PLATFORM"] = "offscreen"  # no box can be shown: the message goes to stderr
        env["LD_PRELOAD"] = NO_MPV_CORE
        rc, err = run(env)
        check(rc == 1, f"engine failure: exit code {rc} (a negative code is a signal), stderr:\n{err[-2000:]}")
        check("Lumivo网络电视无法启动" in err and "cannot create a core" in err, f"engine failure message missing:\n{err[-2000:]}")

        env = sandbox.env()
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        rc, err = run(env)
        check(rc == 1, f"no display: exit code {rc}, stderr:\n{err[-2000:]}")
        check("找不到可用的显示" in err, f"no-display message missing:\n{err[-2000:]}")
        env = sandbox.env()
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("QT_QPA_PLATFORM", None)
        env["DISPLAY"] = ":" + str(next(n for n in range(900, 999) if not os.path.exists(f"/tmp/.X11-unix/X{n}")))
        rc, err = run(env)
        check(rc == 1, f"a display nobody answers: exit code {rc} (a negative code is a signal), stderr:\n{err[-2000:]}")
        check(f"无法连接到显示 {env['DISPLAY']}" in err, f"unanswered-display message missing:\n{err[-2000:]}")

        written = sandbox.written()
        check(not written, f"the player wrote files: {written[:10]}")
    finally:
        sandbox.close()


main(test)
