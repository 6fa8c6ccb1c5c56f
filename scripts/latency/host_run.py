"""One timed run of the saver full screen: launch to first frame, then the frame rate and
the processor time per frame over a steady window, then SIGTERM to the end of the process.
Prints one line of JSON.
Usage: host_run.py PRELOAD PROGRAM SECONDS ARGS..."""
import json, os, signal, struct, subprocess, sys, tempfile, time

preload, program, seconds, args = sys.argv[1], sys.argv[2], float(sys.argv[3]), sys.argv[4:]
tick = os.sysconf("SC_CLK_TCK")
with tempfile.TemporaryDirectory() as work:
    counts = os.path.join(work, "swaps")
    env = dict(os.environ, LD_PRELOAD=preload, SWAP_COUNT_FILE=counts,
               XDG_CONFIG_HOME=os.path.join(work, "config"))

    def read():
        try:
            with open(counts, "rb") as f:
                return struct.unpack("<qqq", f.read(24))
        except (OSError, struct.error):
            return (0, 0, 0)

    def cpu(pid):
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / tick

    start = time.monotonic_ns()
    proc = subprocess.Popen([program] + args, env=env, stderr=subprocess.DEVNULL)
    while read()[2] == 0 and proc.poll() is None and time.monotonic_ns() - start < 20e9:
        time.sleep(0.002)
    first = read()[0]
    time.sleep(2)  # past the first scene's composition
    cpu0, (_, last0, n0) = cpu(proc.pid), read()
    time.sleep(seconds)
    cpu1, (_, last1, n1) = cpu(proc.pid), read()
    term = time.monotonic_ns()
    proc.send_signal(signal.SIGTERM)
    proc.wait(timeout=10)
    term_ms = (time.monotonic_ns() - term) / 1e6
    frames = n1 - n0
    print(json.dumps({
        "launch_ms": round((first - start) / 1e6, 1) if first else None,
        "fps": round(frames / ((last1 - last0) / 1e9), 2) if frames > 0 else 0,
        "cpu_ms_per_frame": round((cpu1 - cpu0) * 1000 / frames, 2) if frames > 0 else None,
        "sigterm_to_end_ms": round(term_ms, 1),
    }))
