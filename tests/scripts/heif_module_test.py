#!/usr/bin/env python3
"""The program and its HEIF decoder module, in real --render runs with a photo folder.

usage: heif_module_test.py PROGRAM (no-heif | shows-heic | stopped-decode) [PROBE]

no-heif: neither the program's links nor a run showing a PNG photo load libheif or one of
its codecs. shows-heic: a HEIC photo comes through the module with the colours of the same
picture as PNG; a program without the module says so once and runs on without the photo.
stopped-decode: SIGTERM at random moments of a large HEIC's decode ends every run soon with
status 143, and never tears the process down while the library still decodes (PROBE, the
preloaded heif_decode_probe.cpp, tells). Status 77 (skipped) without heif-enc or ffmpeg.
"""

import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HEIF_LIBRARIES = re.compile(r"lib(heif|de265|x265|aom|dav1d)\b|kinetora-heif\.so")
COLOUR = "0xC83C1E"  # far from the scenes' own blues and greys
SIZE = (64, 48)


def run(cmd, **kwargs):
    return subprocess.run(cmd, capture_output=True, text=True, **kwargs)


class Setup:
    def __init__(self, program, folder):
        self.program = program
        self.folder = folder
        self.pictures = os.path.join(folder, "pictures")
        config = os.path.join(folder, "config", "Tovenhall")
        os.makedirs(self.pictures)
        os.makedirs(config)
        # A recorded budget (no speed test) and photos in every scene.
        with open(os.path.join(config, "Kinetora.conf"), "w") as f:
            f.write("[Config]\nFramesPerSecond=25\nPolygons=2500\nImageProb=100\n")
        with open(os.path.join(config, "Kinetora.ini"), "w") as f:
            f.write("[Kinetora]\nFolders=%s\n" % self.pictures)
        self.env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, "config"), DISPLAY="",
                        LD_DEBUG="files")
        self.png = os.path.join(folder, "photo.png")
        self.heic = os.path.join(folder, "photo.heic")
        subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                        "color=c=%s:size=96x64" % COLOUR, "-frames:v", "1", self.png],
                       check=True)
        subprocess.run(["heif-enc", "-q", "90", "-o", self.heic, self.png], check=True,
                       capture_output=True)

    def show(self, photos, name, program=None):
        """Renders two frames with only `photos` in the folder: pixels, loaded files, messages."""
        for old in os.listdir(self.pictures):
            os.remove(os.path.join(self.pictures, old))
        for i, photo in enumerate(photos):
            shutil.copy(photo, os.path.join(self.pictures, "%d%s" % (i, os.path.splitext(photo)[1])))
        out = os.path.join(self.folder, name + ".png")
        result = run([program or self.program, "--render", out, "--frames", "2", "--size",
                      "%dx%d" % SIZE, "--seed", "3"], env=self.env)
        if result.returncode != 0:
            sys.exit("%s: status %d\n%s" % (name, result.returncode, result.stderr))
        lines = result.stderr.splitlines()
        loaded = [l for l in lines if "file=" in l]
        said = [l for l in lines if not re.match(r"\s*\d+:", l)]
        pixels = subprocess.run(["ffmpeg", "-v", "error", "-i", out, "-f", "rawvideo",
                                 "-pix_fmt", "rgb24", "-"], check=True,
                                capture_output=True).stdout
        return pixels, loaded, said


def largest_difference(a, b):
    return max(abs(x - y) for x, y in zip(a, b))


def no_heif(setup):
    links = run(["ldd", setup.program]).stdout
    linked = [l for l in links.splitlines() if HEIF_LIBRARIES.search(l)]
    _, loaded, _ = setup.show([setup.png], "png")
    loaded = [l for l in loaded if HEIF_LIBRARIES.search(l)]
    for line in linked + loaded:
        print("loaded:", line.strip())
    return not linked and not loaded


def shows_heic(setup):
    reference, _, _ = setup.show([setup.png], "png")
    heic, loaded, said = setup.show([setup.heic], "heic")
    ok = True
    # The module binds to the program's engine: a copy of its own of the stop flag would
    # never see a stop, and the decoding would run on after the run ended.
    module = os.path.join(os.path.dirname(setup.program), "kinetora-heif.so")
    own = [l for l in run(["nm", "-C", "--defined-only", module]).stdout.splitlines()
           if "StopRequest" in l]
    if own:
        print("the module has engine state of its own:", own)
        ok = False
    if not any("kinetora-heif.so" in l for l in loaded):
        print("the HEIF module was not loaded")
        ok = False
    if said:
        print("messages:", said)
        ok = False
    # Lossy HEVC of one flat colour comes back within a unit or two of it.
    if largest_difference(heic, reference) > 3:
        print("the HEIC photo does not look like its PNG: off by up to",
              largest_difference(heic, reference))
        ok = False

    # Without the module: one line for two photos, and the scenes go on without them.
    alone = os.path.join(setup.folder, "alone")
    os.makedirs(alone)
    shutil.copy(setup.program, alone)
    missing, _, said = setup.show([setup.heic, setup.heic], "missing",
                                  os.path.join(alone, os.path.basename(setup.program)))
    print("without the module:", said)
    if len(said) != 1 or "HEIC and AVIF pictures cannot be read" not in said[0]:
        ok = False
    if largest_difference(missing, reference) <= 3:
        print("the photo showed without its decoder")
        ok = False

    # A library in the module's place that is not the decoder: the same, naming it.
    libm = re.search(r"=> (\S*libm\.so\S*)", run(["ldd", setup.program]).stdout).group(1)
    shutil.copy(libm, os.path.join(alone, "kinetora-heif.so"))
    wrong, _, said = setup.show([setup.heic], "wrong",
                                os.path.join(alone, os.path.basename(setup.program)))
    print("with another library in its place:", said)
    if len(said) != 1 or "is not the HEIF decoder of this program" not in said[0] or \
            wrong != missing:
        ok = False
    return ok


def stopped_decode(setup, probe):
    png = os.path.join(setup.folder, "big.png")
    heic = os.path.join(setup.pictures, "big.heic")
    # Six megapixels of noise: a decode of a few hundred milliseconds.
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                    "testsrc2=size=3000x2000,noise=alls=60:allf=t", "-frames:v", "1", png],
                   check=True)
    subprocess.run(["heif-enc", "-q", "80", "-p", "preset=ultrafast", "-o", heic, png],
                   check=True, capture_output=True)
    events = os.path.join(setup.folder, "probe.txt")
    env = dict(setup.env, LD_PRELOAD=probe, HEIF_PROBE_FILE=events,
               ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
    env.pop("LD_DEBUG")
    ok, mid, times = True, 0, []
    for i in range(12):
        if os.path.exists(events):
            os.remove(events)
        proc = subprocess.Popen([setup.program, "--render", os.path.join(setup.folder, "o.png"),
                                 "--frames", "100000", "--size", "64x48", "--seed", str(i)],
                                env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                text=True)
        # A moment of the decode or soon after it (the signal handlers are long in place).
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and proc.poll() is None and \
                not os.path.exists(events):
            time.sleep(0.005)
        time.sleep(random.uniform(0.0, 0.4))
        start = time.monotonic()
        proc.send_signal(signal.SIGTERM)
        try:
            _, err = proc.communicate(timeout=30)
        except subprocess.TimeoutExpired:
            proc.kill()
            _, err = proc.communicate()
        times.append((time.monotonic() - start) * 1000)
        lines = open(events).read().split() if os.path.exists(events) else []
        text = open(events).read().splitlines() if os.path.exists(events) else []
        if lines.count("start") > lines.count("end"):
            mid += 1
        torn = [l for l in text if l.startswith("teardown ") and l != "teardown 0"]
        if proc.returncode != 143 or torn or times[-1] > 2000:
            print("run %d: status %d after %.0f ms, probe %s\n%s" %
                  (i, proc.returncode, times[-1], text, err))
            ok = False
    print("stopped during a decode: %d of 12 runs; stop to end %.0f ms at most" %
          (mid, max(times)))
    if mid == 0:
        print("no stop came during a decode")
        ok = False
    return ok


def main():
    if len(sys.argv) not in (3, 4) or \
            sys.argv[2] not in ("no-heif", "shows-heic", "stopped-decode"):
        sys.exit(__doc__)
    if not shutil.which("heif-enc") or not shutil.which("ffmpeg"):
        print("no heif-enc (libheif-examples) or ffmpeg")
        return 77
    with tempfile.TemporaryDirectory() as folder:
        setup = Setup(os.path.abspath(sys.argv[1]), folder)
        if sys.argv[2] == "stopped-decode":
            if len(sys.argv) != 4:
                sys.exit(__doc__)
            return 0 if stopped_decode(setup, os.path.abspath(sys.argv[3])) else 1
        check = no_heif if sys.argv[2] == "no-heif" else shows_heic
        return 0 if check(setup) else 1


if __name__ == "__main__":
    sys.exit(main())
