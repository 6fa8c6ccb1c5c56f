#!/usr/bin/env python3
"""kinetora-xscreensaver-add on every shape of programs: list XScreenSaver writes.

usage: xscreensaver_add_test.py kinetora-xscreensaver-add

Each case runs the script on a ~/.xscreensaver in a fresh home and compares the file after
with the one expected. Besides the text, the file is read back as XScreenSaver reads
resources (a backslash at the end of a line joins the next; the list's entries are separated
by \\n), which must give the old list with Kinetora added once and every other setting unchanged.
"""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = None
ENTRY = '  GL: "Kinetora" kinetora --root'

# As XScreenSaver saves it: a header that goes on, entries ending in \n\, an empty line.
WRITTEN = (
    "mode:\t\trandom\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tsuperquadrics -root\t\t\t    \\n\\\n"
    "-\t\t\t\txflame -root\t\t\t\t    \\n\\\n"
    "\n"
    "\n"
    "pointerPollTime:    0:00:05\n"
)


def resources(text):
    """name -> value, with continued lines joined as the resource reader joins them."""
    joined = text.replace("\\\n", "")
    out = {}
    for line in joined.split("\n"):
        if ":" in line and not line.startswith(("!", "#")):
            name, value = line.split(":", 1)
            out[name.strip()] = value.strip()
    return out


def entries(value):
    return [e.strip() for e in value.split("\\n") if e.strip()]


class AddScript(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.TemporaryDirectory()
        self.file = os.path.join(self.home.name, ".xscreensaver")

    def tearDown(self):
        self.home.cleanup()

    def run_script(self, before):
        if before is not None:
            with open(self.file, "w") as f:
                f.write(before)
        env = dict(os.environ, HOME=self.home.name)
        result = subprocess.run([SCRIPT], env=env, capture_output=True, text=True, timeout=30)
        after = None
        if os.path.exists(self.file):
            with open(self.file) as f:
                after = f.read()
        return result, after

    def backups(self):
        return sorted(n for n in os.listdir(self.home.name) if n != ".xscreensaver")

    def check_added(self, before, expected):
        result, after = self.run_script(before)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(after, expected)
        old, new = resources(before), resources(after)
        listed = entries(new.pop("programs"))
        self.assertEqual(listed.count(ENTRY.strip()), 1)
        listed.remove(ENTRY.strip())
        self.assertEqual(listed, entries(old.pop("programs")))
        self.assertEqual(new, old)
        self.assertEqual(self.backups(), [".xscreensaver.bak"])
        with open(self.file + ".bak") as f:
            self.assertEqual(f.read(), before)

    def test_empty_list(self):
        self.check_added("programs:\nlock:\t\tFalse\n",
                         "programs: \\\n" + ENTRY + " \\n\nlock:\t\tFalse\n")

    def test_one_line_list_keeps_the_next_setting_apart(self):
        self.check_added("timeout: 0:10:00\nprograms: maze --root\nlock: False\n",
                         "timeout: 0:10:00\nprograms: maze --root \\n\\\n" + ENTRY +
                         " \\n\nlock: False\n")

    def test_one_line_list_at_the_end_of_the_file(self):
        self.check_added("programs: maze --root", "programs: maze --root \\n\\\n" + ENTRY +
                         " \\n\n")

    def test_list_of_continued_lines(self):
        lines = WRITTEN.split("\n")
        expected = "\n".join(lines[:2] + [ENTRY + " \\n\\"] + lines[2:])
        self.check_added(WRITTEN, expected)

    def test_entry_already_listed_leaves_the_file_alone(self):
        before = WRITTEN.replace("maze -root", 'GL: "Kinetora" kinetora --root')
        result, after = self.run_script(before)
        self.assertEqual(result.returncode, 0)
        self.assertIn("already listed", result.stdout)
        self.assertEqual(after, before)
        self.assertEqual(self.backups(), [])

    def test_kinetora_outside_the_list_is_not_taken_for_an_entry(self):
        before = "programs: maze --root\n! kinetora --root was tried here\n"
        result, after = self.run_script(before)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(ENTRY.strip(), entries(resources(after)["programs"]))

    def test_no_list_or_no_file_changes_nothing(self):
        for before in (None, "mode: random\n"):
            result, after = self.run_script(before)
            self.assertEqual(result.returncode, 1)
            self.assertEqual(after, before)
            self.assertEqual(self.backups(), [])

    def test_the_users_own_backups_are_kept(self):
        for name, text in ((".xscreensaver.bak", "mine\n"), (".xscreensaver.bak.1", "older\n")):
            with open(os.path.join(self.home.name, name), "w") as f:
                f.write(text)
        result, _ = self.run_script(WRITTEN)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(".xscreensaver.bak.2", result.stdout)
        for name, text in ((".xscreensaver.bak", "mine\n"), (".xscreensaver.bak.1", "older\n"),
                           (".xscreensaver.bak.2", WRITTEN)):
            with open(os.path.join(self.home.name, name)) as f:
                self.assertEqual(f.read(), text, name)


if __name__ == "__main__":
    SCRIPT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
