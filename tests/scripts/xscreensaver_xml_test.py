#!/usr/bin/env python3
"""Every control of the XScreenSaver description maps to options the program accepts.

usage: xscreensaver_xml_test.py PROGRAM kinetora.xml

For each control the test builds the arguments the settings dialog would pass (a slider at
its low, default and high value, every option of a select, a boolean, a folder for the file
chooser), checks that --help names each option, and runs the real program with them: once
as the daemon would start it (--root, stopped at --version after parsing), once drawing a
small picture off screen.
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def control_arguments(root, folder):
    """Yields (control id, [arguments]) for every value a control can pass."""
    for node in root.iter():
        tag = node.tag
        if tag == "number":
            arg = node.get("arg")
            assert arg and "%" in arg, f"slider {node.get('id')} has no '%' in its arg"
            for key in ("low", "default", "high"):
                value = node.get(key)
                assert value is not None and value.lstrip("-").isdigit(), \
                    f"slider {node.get('id')}: {key}={value!r} is not a whole number"
                yield node.get("id"), arg.replace("%", value).split()
        elif tag == "file":
            yield node.get("id"), node.get("arg").replace("%", folder).split()
        elif tag in ("boolean", "option"):
            for key in ("arg-set", "arg-unset"):
                if node.get(key):
                    yield node.get("id") or node.get("_label"), node.get(key).split()


def run(program, args, env):
    return subprocess.run([program] + args, env=env, capture_output=True, text=True, timeout=60)


def main():
    program, xml_path = sys.argv[1], sys.argv[2]
    root = ET.parse(xml_path).getroot()
    assert root.tag == "screensaver" and root.get("name") == "kinetora"
    command = root.find("command").get("arg").split()
    failures = []
    with tempfile.TemporaryDirectory() as temp:
        env = dict(os.environ, XDG_CONFIG_HOME=temp, DISPLAY="")
        usage = run(program, ["--help"], env).stdout
        controls = list(control_arguments(root, temp))
        assert len(controls) >= 12, f"only {len(controls)} control values found"
        picture = os.path.join(temp, "control.png")
        for word in command:
            if word not in usage:
                failures.append(f"--help does not name the command's {word}")
        for ident, args in controls:
            if args[0] not in usage:
                failures.append(f"{ident}: --help does not name {args[0]}")
            hosted = run(program, command + args + ["--version"], env)
            if hosted.returncode != 0:
                failures.append(f"{ident}: {' '.join(args)} refused: {hosted.stderr.strip()}")
                continue
            drawn = run(program, args + ["--render", picture, "--size", "16x12", "--seed", "1"],
                        env)
            if drawn.returncode != 0 or not os.path.exists(picture):
                failures.append(f"{ident}: render with {' '.join(args)} failed: "
                                f"{drawn.stderr.strip()}")
            if os.path.exists(picture):
                os.remove(picture)
        # The run's settings never reach the store.
        if os.path.exists(os.path.join(temp, "Tovenhall", "Kinetora.conf")):
            with open(os.path.join(temp, "Tovenhall", "Kinetora.conf")) as f:
                text = f.read()
            for key in ("Speed=", "ImageProb=", "ImageOrder=", "Polygons="):
                if key in text:
                    failures.append(f"{key} was stored: {text!r}")
    for line in failures:
        print(line)
    print(f"{len(controls)} control values checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
