#!/usr/bin/env python3
"""The layer check rejects what it must, on small trees written here."""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check-layers.py")


def run_on(files):
    """Writes {relative path: text} into a fresh tree and runs the check on it."""
    with tempfile.TemporaryDirectory() as root:
        for relative, text in files.items():
            path = os.path.join(root, relative)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        done = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
        return done.returncode, done.stdout


# A tree that keeps every rule, including the interface header from below.
CLEAN = {
    "core/Random.h": "#pragma once\n#include <vector>\n",
    "motion/Mover.cpp": '#include "motion/Mover.h"\n#include "core/Random.h"\n'
    '#include "motion/MoverFollow.h"\n'
    '#include "shapes/Shape.h"\n#include <GL/gl.h>\n',
    "shapes/Shape.cpp": '#include "motion/Mover.h"\n',
    "scene/Saver.cpp": '#include "shapes/Shape.h"\n#include <GL/glu.h>\n',
    "host/posix/Pipe.cpp": '#include "scene/Saver.h"\n#include <unistd.h>\n#include <sys/wait.h>\n',
    "main.cpp": '#include "host/posix/Pipe.h"\n#include <X11/Xlib.h>\n',
    # A base that makes its derived classes, one of them through another: no circle.
    "motion/Mover.h": "#pragma once\n",
    "motion/MoverSin.h": '#include "motion/Mover.h"\n',
    "motion/MoverFollow.h": '#include "motion/MoverSin.h"\n',
    "host/wayland/Output.cpp": '#include <wayland-client.h>\n#include "xdg-shell-client-protocol.h"\n',
}


class CheckLayers(unittest.TestCase):
    def test_clean_tree_passes(self):
        self.assertEqual(run_on(CLEAN), (0, ""))

    def test_upward_include_is_named_with_file_and_line(self):
        code, out = run_on({**CLEAN, "core/Color.cpp": '#include "core/Random.h"\n'
                            '#include "motion/ColourTable.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn('core/Color.cpp:2: #include "motion/ColourTable.h": core (layer 0) '
                      "includes motion (layer 2)", out)

    def test_only_the_declared_interface_headers_may_be_included_from_below(self):
        code, out = run_on({**CLEAN, "motion/Follow.cpp": '#include "scene/SceneWnd.h"\n',
                            "shapes/Cube.cpp": '#include "scene/Saver.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn('motion/Follow.cpp:1: #include "scene/SceneWnd.h"', out)
        self.assertIn('shapes/Cube.cpp:1: #include "scene/Saver.h": shapes (layer 4) includes '
                      "scene (layer 5)", out)

    def test_platform_headers_only_under_host(self):
        code, out = run_on({**CLEAN, "images/Folder.cpp": "#include <string>\n#include <dirent.h>\n",
                            "app/App.cpp": "#include <QString>\n#include <windows.h>\n"})
        self.assertEqual(code, 1)
        self.assertIn("images/Folder.cpp:2: #include <dirent.h>: platform header outside host/", out)
        self.assertIn("app/App.cpp:1: #include <QString>", out)
        self.assertIn("app/App.cpp:2: #include <windows.h>", out)

    def test_cycle_within_one_layer(self):
        code, out = run_on({**CLEAN, "images/List.cpp": '#include "patterns/Canvas.h"\n',
                            "patterns/Canvas.cpp": '#include "images/Image.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn("folder cycle images -> patterns -> images", out)
        self.assertIn('images/List.cpp:1: #include "patterns/Canvas.h" (images -> patterns)', out)

    def test_circle_between_files_of_one_folder(self):
        # Two headers that include each other, and three classes whose sources call round.
        code, out = run_on({**CLEAN, "scene/A.h": '#include "scene/B.h"\n',
                            "scene/B.h": '#include "scene/A.h"\n',
                            "app/Wnd.cpp": '#include "app/Wnd.h"\n#include "app/Saver.h"\n',
                            "app/Saver.cpp": '#include "app/Gl.h"\n',
                            "app/Gl.cpp": '#include "Wnd.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn("file circle scene/A -> scene/B -> scene/A", out)
        self.assertIn("file circle app/Gl -> app/Wnd -> app/Saver -> app/Gl", out)
        self.assertIn('app/Gl.cpp:1: #include "Wnd.h" (app/Gl -> app/Wnd)', out)

    def test_wayland_headers_only_under_host(self):
        code, out = run_on({**CLEAN, "scene/Out.cpp": '#include <wayland-egl.h>\n'
                            '#include "xdg-shell-client-protocol.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn("scene/Out.cpp:1: #include <wayland-egl.h>: platform header", out)
        self.assertIn('scene/Out.cpp:2: #include "xdg-shell-client-protocol.h": platform', out)


if __name__ == "__main__":
    unittest.main()
