#!/usr/bin/env python3
"""Runs one test as CTest would (its command, folder and environment), started directly,
for a test whose leak checker's tracer crashed after the test had passed. Some tests crash
the tracer every time a program (CTest, Python) starts them, never from a shell; so after
one more try with the leak check, the last try runs the test with every other check of the
sanitizers but without the leak check at exit, and says so. Only that crash is tried again;
a failed check, a leak or any other report ends it. Usage: ctest-command.py TESTS.json NAME
(from ctest --show-only=json-v1). Exits with the test's status, or 2 for an unknown name."""

import json
import os
import subprocess
import sys

TRACER = "LeakSanitizer has encountered a fatal error"


def tracer_crash_only(output):
    return TRACER in output and "[  PASSED  ]" in output and "ERROR: " not in output


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        tests = json.load(f)["tests"]
    test = next((t for t in tests if t["name"] == sys.argv[2]), None)
    if test is None:
        print(f"no test named {sys.argv[2]}", file=sys.stderr)
        return 2
    env = dict(os.environ)
    folder = None
    for prop in test.get("properties", []):
        if prop["name"] == "ENVIRONMENT":
            env.update(item.split("=", 1) for item in prop["value"])
        elif prop["name"] == "WORKING_DIRECTORY":
            folder = prop["value"]
    for leaks in (True, False):
        if not leaks:
            env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
            print(f"{test['name']}: the tracer crashed again; once more without the leak check")
        result = subprocess.run(test["command"], cwd=folder, env=env, check=False,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        sys.stdout.write(result.stdout)
        if result.returncode == 0 or not tracer_crash_only(result.stdout):
            break
    verdict = "passed" if result.returncode == 0 else "failed"
    print(f"{test['name']}: {verdict} when run directly")
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
