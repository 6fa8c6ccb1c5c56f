#!/usr/bin/env python3
"""Every preset a build script configures with is one CMake reads from CMakePresets.json."""

import glob
import os
import re
import subprocess
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
cmake = sys.argv[1] if len(sys.argv) > 1 else "cmake"

listed = subprocess.run([cmake, "--list-presets=all"], cwd=ROOT, capture_output=True, text=True)
if listed.returncode != 0:
    sys.exit(f"cmake cannot read CMakePresets.json:\n{listed.stderr}")
known = set(re.findall(r'^\s+"([^"]+)"', listed.stdout, re.M))

wanted = {}
for path in glob.glob(os.path.join(ROOT, "scripts", "*.sh")):
    code = [line for line in open(path, encoding="utf-8") if not line.lstrip().startswith("#")]
    for name in re.findall(r"(?:--preset |PRESET=)([\w-]+)", "".join(code)):
        wanted.setdefault(name, os.path.basename(path))
missing = {name: script for name, script in wanted.items() if name not in known}
if missing:
    sys.exit("presets named by scripts but not in CMakePresets.json: " +
             ", ".join(f"{name} ({script})" for name, script in sorted(missing.items())))
# Scripts that configure this project do it through a preset.
for path in glob.glob(os.path.join(ROOT, "scripts", "*.sh")):
    for line in open(path, encoding="utf-8"):
        if re.search(r'cmake -S (\.|"\$ROOT")(\s|$)', line) and "--preset" not in line:
            sys.exit(f"{os.path.basename(path)} configures without a preset: {line.strip()}")
print(f"{len(wanted)} presets used by the scripts, all defined")
