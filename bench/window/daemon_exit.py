#!/usr/bin/env python3
"""How long the saver lingers once the real XScreenSaver daemon is done with it.

Usage: daemon_exit.py BUILD_DIR [RUNS] [--bound MS] [--hack NAME]

Runs Xvfb (1280x1024) and the xscreensaver daemon with `GL: frostvale -root`
as its only hack (as `nobody` when started as root: the daemon runs no hack
for root), and measures, RUNS times each, from `xscreensaver-command
-deactivate`, from a SIGTERM sent to the hack, and from the daemon's window
being destroyed under it (its X client killed), until the hack's process is
gone. Prints each time and the medians; with --bound, exits 1 if any median is
over MS. --hack gears measures one of the daemon's own hacks the same way, to
tell the daemon's share from ours. Exits 77 without Xvfb or xscreensaver.
"""
import os
import pwd
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time


def gone(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "Z"
    except FileNotFoundError:
        return True


def wait_gone(pid, limit=10.0):
    start = time.monotonic()
    while not gone(pid):
        if time.monotonic() - start > limit:
            return None
        time.sleep(0.001)
    return time.monotonic()


def hack_pid(uid, daemon_pids, name, limit=20.0):
    """The hack's process the daemon started (and not one of another user's)."""
    start = time.monotonic()
    while time.monotonic() - start < limit:
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) in daemon_pids:
                continue
            try:
                if os.stat(f"/proc/{entry}").st_uid != uid:
                    continue
                with open(f"/proc/{entry}/comm") as f:
                    if f.read().strip() == name[:15] and not gone(int(entry)):
                        return int(entry)
            except (FileNotFoundError, ProcessLookupError):
                continue
        time.sleep(0.05)
    return None


def main():
    args = [a for a in sys.argv[1:]]
    bound = None
    hack = "frostvale"
    if "--bound" in args:
        at = args.index("--bound")
        bound = float(args[at + 1])
        del args[at:at + 2]
    if "--hack" in args:
        at = args.index("--hack")
        hack = args[at + 1]
        del args[at:at + 2]
    build = os.path.abspath(args[0])
    runs = int(args[1]) if len(args) > 1 else 5
    for tool in ("Xvfb", "xscreensaver", "xscreensaver-command", "xdotool"):
        if shutil.which(tool) is None:
            print(f"skipped: no {tool}")
            return 77

    work = tempfile.mkdtemp(prefix="fv_daemon_exit_")
    os.chmod(work, 0o755)
    home = os.path.join(work, "home")
    os.mkdir(home)
    user = None
    if os.geteuid() == 0:
        user = "nobody"
        os.chown(home, pwd.getpwnam(user).pw_uid, -1)
    uid = pwd.getpwnam(user).pw_uid if user else os.geteuid()
    with open(os.path.join(home, ".xscreensaver"), "w") as f:
        f.write(f"mode:\t\tone\nselected:\t0\nlock:\t\tFalse\nprograms:\t\\\n  GL: \t\t{hack} -root\t\\n\n")
    if user:
        os.chown(os.path.join(home, ".xscreensaver"), uid, -1)

    rfd, wfd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(wfd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(wfd,), stderr=subprocess.DEVNULL)
    os.close(wfd)
    display = ":" + os.read(rfd, 16).decode().strip()
    env = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               PATH=os.path.join(build, "host") + ":" + os.environ["PATH"])
    env.pop("XSCREENSAVER_WINDOW", None)
    prefix = ["runuser", "-u", user, "-m", "--"] if user else []
    daemon = subprocess.Popen(prefix + ["xscreensaver", "-no-splash"], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    command = lambda verb: subprocess.run(["xscreensaver-command", verb], env=env, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)
    times = {"deactivate": [], "SIGTERM": [], "window destroyed": []}
    try:
        time.sleep(2)
        for run in range(runs):
            for how in times:
                # Killing the daemon's window client (below) makes it restart
                # its graphics process, which may miss the first activation.
                pid = None
                for attempt in range(3):
                    command("-deactivate")
                    time.sleep(1)
                    command("-activate")
                    pid = hack_pid(uid, {daemon.pid}, hack, limit=10.0)
                    if pid is not None:
                        break
                if pid is None:
                    print(f"the daemon started no {hack}")
                    return 1
                time.sleep(3)  # running, carols (if any) and all
                start = time.monotonic()
                if how == "deactivate":
                    command("-deactivate")
                elif how == "SIGTERM":
                    os.kill(pid, signal.SIGTERM)
                else:
                    # The window the daemon handed the hack, as it tells every hack.
                    window = ""
                    with open(f"/proc/{pid}/environ", "rb") as f:
                        for var in f.read().split(b"\0"):
                            if var.startswith(b"XSCREENSAVER_WINDOW="):
                                window = var.split(b"=", 1)[1].decode()
                    start = time.monotonic()
                    subprocess.run(["xdotool", "windowkill", window], env=env, stderr=subprocess.DEVNULL)
                end = wait_gone(pid)
                ms = (end - start) * 1000 if end else float("inf")
                times[how].append(ms)
                print(f"run {run + 1} {how}: {ms:.0f} ms")
                time.sleep(1)
    finally:
        command("-exit")
        for p in (daemon, xvfb):
            try:
                p.wait(timeout=3)
            except subprocess.TimeoutExpired:
                p.terminate()
                p.wait()
        shutil.rmtree(work, ignore_errors=True)
    status = 0
    for how, ms in times.items():
        median = statistics.median(ms)
        print(f"{how}: median {median:.0f} ms (min {min(ms):.0f}, max {max(ms):.0f}, {len(ms)} runs)")
        if bound is not None and median > bound:
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
