"""Ten starts at the same moment: exactly one main window, nine warnings, and each warned start
ends when its box is closed."""

import subprocess
import sys

from lumivo_e2e import Sandbox, check, kill, main, start_player, wait_for, windows_named

BINARY, OUT = sys.argv[1], sys.argv[2]
TITLE = "Lumivo网络电视5.5 免安装版"
BOX = "Lumivo网络电视"


def test():
    sandbox = Sandbox()
    players = []
    try:
        env = sandbox.env()
        players = [start_player(BINARY, env) for _ in range(10)]
        wait_for(lambda: len(windows_named(f"^{TITLE}$")) >= 1 and len(windows_named(f"^{BOX}$")) >= 9, 90,
                 "one main window and nine warnings")
        mains = windows_named(f"^{TITLE}$")
        boxes = windows_named(f"^{BOX}$")
        check(len(mains) == 1, f"{len(mains)} main windows")
        check(len(boxes) == 9, f"{len(boxes)} warnings")
        for box in boxes:
            subprocess.run(["xdotool", "key", "--window", box, "Return"], check=False)
        wait_for(lambda: sum(1 for p in players if p.poll() is not None) == 9, 30, "the nine warned starts to end")
        check(all(p.returncode == 0 for p in players if p.poll() is not None), "a warned start failed")
        check(len(windows_named(f"^{TITLE}$")) == 1, "the main window went with the warnings")
        written = sandbox.written()
        check(not written, f"the players wrote files: {written[:10]}")
    finally:
        for p in players:
            kill(p)
        sandbox.close()


main(test, OUT)
