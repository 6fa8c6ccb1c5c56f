#!/usr/bin/env python3
"""Stop latency and launch time of the saver, measured from outside the process.

Each case starts the program, waits a random time, sends SIGTERM, SIGINT or a key press,
and times how long the process takes to end (blocking waitpid, no polling). Launch cases
time the start to the first buffer swap with a preloaded shim, for the saver and for
XScreenSaver's gears hack in the same X server, interleaved run by run. Prints p50, p95, p99
and the count."""
import argparse, os, random, shutil, signal, subprocess, sys, tempfile, threading, time

HERE = os.path.dirname(os.path.abspath(__file__))


def percentile(values, p):
    ordered = sorted(values)
    rank = max(1, -(-len(ordered) * p // 100))  # nearest rank
    return ordered[int(rank) - 1]


def report(name, values, missed=0, missing="not ended within 30 s"):
    if not values:
        print(f"{name:44s} no runs")
        return
    extra = f"  ({missing}: {missed})" if missed else ""
    print(f"{name:44s} p50 {percentile(values, 50):7.1f}  p95 {percentile(values, 95):7.1f}  "
          f"p99 {percentile(values, 99):7.1f}  max {max(values):7.1f} ms  n {len(values)}{extra}",
          flush=True)


def settings_folder(kind, images=None):
    home = tempfile.mkdtemp(prefix="kinetora-latency-")
    folder = os.path.join(home, "Tovenhall")
    os.makedirs(folder)
    lines = ["[Config]"]
    if kind == "record":
        lines += ["FramesPerSecond=25", "Polygons=2500"]
    elif kind == "huge":
        lines += ["FramesPerSecond=25", "Polygons=10000000"]
    if images:
        lines += ["ImageProb=100"]
    with open(os.path.join(folder, "Kinetora.conf"), "w") as f:
        f.write("\n".join(lines) + "\n")
    if images:
        with open(os.path.join(folder, "Kinetora.ini"), "w") as f:
            f.write("[Kinetora]\nFolders=" + images + "*\n")
    return home


def spawn(cmd, env):
    return subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wait_exit(proc, limit=30.0):
    """Blocks in waitpid; a watchdog kills the process after `limit` seconds."""
    killed = []

    def watchdog():
        killed.append(True)
        proc.kill()

    timer = threading.Timer(limit, watchdog)
    timer.start()
    try:
        os.waitpid(proc.pid, 0)
    except ChildProcessError:  # already reaped
        pass
    end = time.monotonic()
    timer.cancel()
    proc.returncode = 0
    return end, bool(killed)


class KeyPresser:
    """Presses and releases x through XTest on a connection opened beforehand, so that the
    time starts at the press itself and not at a helper program's own start-up (a key tool
    run per press takes tens of milliseconds before it presses)."""

    def __init__(self):
        from Xlib import X, XK, display
        from Xlib.ext import xtest
        self.X, self.xtest = X, xtest
        self.display = display.Display()
        self.keycode = self.display.keysym_to_keycode(XK.string_to_keysym("x"))

    def press(self):
        start = time.monotonic()
        self.xtest.fake_input(self.display, self.X.KeyPress, self.keycode)
        self.display.sync()
        self.xtest.fake_input(self.display, self.X.KeyRelease, self.keycode)
        self.display.sync()
        return start


def stop_case(name, cmd, make_env, how, runs, window, settle=0.0):
    values, missed = [], 0
    presser = KeyPresser() if how == "key" else None
    for _ in range(runs):
        env = make_env()
        proc = spawn(cmd, env)
        time.sleep(settle + random.uniform(0.0, window))
        if presser:
            start = presser.press()
        else:
            start = time.monotonic()
            proc.send_signal(how)
        end, killed = wait_exit(proc)
        if killed:
            missed += 1
        else:
            values.append((end - start) * 1000.0)
    report(name, values, missed)


def launch_once(cmd, env, shim):
    """Milliseconds from the spawn to the first buffer swap, or None and what the program
    said when none came."""
    mark = tempfile.mktemp(prefix="kinetora-swap-")
    run_env = dict(env, LD_PRELOAD=shim, LATENCY_SWAP_FILE=mark)
    with tempfile.TemporaryFile() as said:
        start = time.monotonic_ns()
        proc = subprocess.Popen(cmd, env=run_env, stdout=subprocess.DEVNULL, stderr=said)
        deadline = time.monotonic() + 10
        while not os.path.exists(mark) and time.monotonic() < deadline and proc.poll() is None:
            time.sleep(0.002)
        time.sleep(0.01)
        proc.send_signal(signal.SIGTERM)
        wait_exit(proc)
        if not os.path.exists(mark):
            said.seek(0)
            first = said.read().decode(errors="replace").strip().splitlines()
            return None, first[0] if first else "nothing on standard error"
    with open(mark) as f:
        text = f.read().strip()
    os.unlink(mark)
    return (int(text) - start) / 1e6, ""


def launch_cases(cases, runs, shim):
    """Runs the cases in turn, run by run (A, B, C, A, B, C, ...), so that a burst of load
    on a shared machine falls on every case alike; the order within a round rotates so that
    no case always follows the same one."""
    values = {name: [] for name, _, _ in cases}
    missed = {name: 0 for name, _, _ in cases}
    notes = []
    for run in range(runs):
        shift = run % len(cases)
        for name, cmd, make_env in cases[shift:] + cases[:shift]:
            ms, said = launch_once(cmd, make_env(), shim)
            if ms is None:
                missed[name] += 1
                notes.append(f"{name}, round {run + 1}: no first frame ({said})")
            else:
                values[name].append(ms)
    for name, _, _ in cases:
        report(name, values[name], missed[name], "no first frame within 10 s")
    for note in notes:
        print("  " + note)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--runs", type=int, default=40)
    parser.add_argument("--window", type=float, default=3.0, help="random moments in 0..S s")
    parser.add_argument("--only", default="", help="comma-separated case names")
    parser.add_argument("--photo-dir", default="")
    parser.add_argument("--shim", default="")
    parser.add_argument("--wayland", action="store_true",
                        help="launch full screen (/s) in the Wayland session instead")
    parser.add_argument("--baseline", default="",
                        help="another build of the program, launched in the same rounds")
    args = parser.parse_args()
    only = set(filter(None, args.only.split(",")))
    env = dict(os.environ)
    prog = args.program
    homes = []

    def wanted(case):
        return not only or case in only

    def with_home(kind, images=None):
        home = settings_folder(kind, images)
        homes.append(home)
        return dict(env, XDG_CONFIG_HOME=home)

    gears = "/usr/libexec/xscreensaver/gears"
    record = lambda: with_home("record")
    fresh = lambda: with_home("fresh")  # a new folder every run: the speed test runs
    if wanted("launch") and args.shim:
        mode = ["/s"] if args.wayland else ["--root"]
        where = " ".join(mode) + (" on Wayland" if args.wayland else "")
        launches = [
            (f"launch to first frame, {where}, record", [prog] + mode, record),
            (f"launch to first frame, {where}, no record", [prog] + mode, fresh),
        ]
        if args.baseline:
            launches += [
                (f"baseline: launch, {where}, record", [args.baseline] + mode, record),
                (f"baseline: launch, {where}, no record", [args.baseline] + mode, fresh),
            ]
        # gears is an X client: beside a Wayland run only through XWayland, not measured.
        if os.path.exists(gears) and not args.wayland:
            launches.append(("launch to first frame, gears -root", [gears, "-root"], lambda: env))
        launch_cases(launches, args.runs, args.shim)
    cases = [
        ("term-hosted", "SIGTERM, --root, record", [prog, "--root"], record, signal.SIGTERM),
        ("term-fresh", "SIGTERM, --root, fresh (speed test)", [prog, "--root"], fresh,
         signal.SIGTERM),
        ("int-hosted", "SIGINT, --root, record", [prog, "--root"], record, signal.SIGINT),
        ("key-full", "key, /s full screen, record", [prog, "/s"], record, "key"),
        ("term-huge", "SIGTERM, --root, Polygons=10000000", [prog, "--root"],
         lambda: with_home("huge"), signal.SIGTERM),
        ("term-bench-huge", "SIGTERM, --bench, Polygons=10000000",
         [prog, "--bench", "--seconds", "600", "--size", "1024x768"],
         lambda: with_home("huge"), signal.SIGTERM),
    ]
    cases.append(("term-sheet", "SIGTERM, settings sheet (-c)", [prog, "-c"], record,
                  signal.SIGTERM))
    if args.photo_dir:
        cases += [
            ("term-photo", "SIGTERM, --root, 12 MP photographs", [prog, "--root"],
             lambda: with_home("record", args.photo_dir), signal.SIGTERM),
            ("key-photo", "key, /s, 12 MP photographs", [prog, "/s"],
             lambda: with_home("record", args.photo_dir), "key"),
        ]
    for case, name, cmd, case_env, how in cases:
        if wanted(case):
            stop_case(name, cmd, case_env, how, args.runs, args.window)
    if os.path.exists(gears) and wanted("term-gears"):
        stop_case("SIGTERM, gears -root", [gears, "-root"], lambda: env, signal.SIGTERM, args.runs,
                  args.window)
    for home in homes:
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
