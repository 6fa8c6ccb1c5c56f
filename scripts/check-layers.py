#!/usr/bin/env python3
"""Checks the direction of every #include under a source tree (default: src/).

Each folder of src/ is a layer; a file may include its own folder and layers below it:

  0 core | 1 images, patterns, gl | 1.5 colour | 2 motion | 3 meshes, textures | 4 shapes
  | 5 scene | 6 app, config | 7 host (and the program's main at the top of src/)

One interface header may be included from below, because a shape owns a mover and a
mover moves shapes: shapes/Shape.h. Nothing else of a higher layer. Besides upward includes
the check fails on a cycle between folders (the interface header aside), on a circle between the classes of one folder (a class is its header and source:
a.h or a.cpp includes b.h while b.h or b.cpp includes a.h, or a longer round), and on a
platform header (X11, GLX, EGL, Wayland, Qt, POSIX, Win32) outside host/. GL 1.1 and GLU
headers are allowed everywhere: the engine draws with them.

Prints file:line and the include for every fault and exits 1; exits 0 when clean.
Usage: check-layers.py [source folder]
"""

import os
import posixpath
import re
import sys

LAYERS = {
    "core": 0,
    "images": 1,
    "patterns": 1,
    "gl": 1,
    "colour": 1.5,
    "motion": 2,
    "meshes": 3,
    "textures": 3,
    "shapes": 4,
    "scene": 5,
    "app": 6,
    "config": 6,
    "host": 7,
}
TOP = "host"  # files directly in the source folder (main.cpp) sit with the hosts
INTERFACES = {"shapes/Shape.h"}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".inl")

# Platform headers: allowed only under host/. Wayland's own headers and the protocol
# headers generated from its XML (xdg-shell-client-protocol.h, ...) count too, also when
# included in quotes.
PLATFORM = re.compile(
    r"^(X11/.*|GL/glx.*|GL/wgl.*|EGL/.*|KHR/.*|Qt\w*/.*|Q[A-Z]\w*|"
    r"wayland-.*\.h|xdg-.*\.h|.*-(client|server)-protocol\.h|.*-unstable-v\d+.*\.h|"
    r"xkbcommon/.*|libdecor.*\.h|gbm\.h|libdrm/.*|drm/.*|xf86drm.*\.h|linux/.*|"
    r"unistd\.h|dirent\.h|fnmatch\.h|spawn\.h|sys/.*|poll\.h|signal\.h|pthread\.h|"
    r"dlfcn\.h|fcntl\.h|termios\.h|pwd\.h|grp\.h|glob\.h|libgen\.h|wordexp\.h|"
    r"syslog\.h|sched\.h|semaphore\.h|netinet/.*|arpa/.*|"
    r"wayland-.*\.h|xkbcommon/.*|linux/.*|"
    r"windows\.h|winbase\.h|windef\.h|winuser\.h|wingdi\.h|winsock2?\.h|ws2tcpip\.h|"
    r"shlobj\.h|shellapi\.h|shlwapi\.h|commctrl\.h|commdlg\.h|objbase\.h|ole2\.h|"
    r"tchar\.h|io\.h|direct\.h|process\.h|conio\.h|scrnsave\.h|mmsystem\.h)$",
    re.IGNORECASE,
)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(relative):
    """The layer folder of a path relative to the source folder ("" when unknown)."""
    parts = relative.replace("\\", "/").split("/")
    if len(parts) == 1:
        return TOP
    return parts[0] if parts[0] in LAYERS else ""


def scan(root):
    """Yields (relative path, line number, kind, included name) for every include."""
    for base, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(base, name)
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if m:
                        yield relative, number, m.group(1), m.group(2)


def find_cycles(edges):
    """One cycle (a list of folders) for every group of folders that reach each other."""
    nodes = sorted(set(edges) | {b for a in edges for b in edges[a]})

    reachable = {n: reachable_from(edges, n) for n in nodes}
    cycles, done = [], set()
    for start in nodes:
        group = {n for n in nodes if n in reachable[start] and start in reachable[n]}
        if start in done or len(group) < 2:
            continue
        done |= group
        # The shortest way back to start, breadth first, through the group only.
        back = {start: None}
        queue = [start]
        found = None
        while queue and found is None:
            node = queue.pop(0)
            for nxt in sorted(edges.get(node, {})):
                if nxt == start:
                    found = node
                    break
                if nxt in group and nxt not in back:
                    back[nxt] = node
                    queue.append(nxt)
        path = []
        while found is not None:
            path.append(found)
            found = back[found]
        cycles.append(list(reversed(path)))
    return cycles


def class_of(path):
    """A file's class: its path without suffix (a.h and a.cpp are one class)."""
    return os.path.splitext(path)[0]


def check(root):
    faults = []
    # edges[a][b] = (file, line, include): the first include that makes folder a use b.
    edges = {}
    # The same between the classes of one folder.
    class_edges = {}
    # a's header includes b's, directly or through others: a builds on b (a derived class
    # on its base).
    header_edges = {}
    for relative, number, kind, target in scan(root):
        here = folder_of(relative)
        where = f"{relative}:{number}"
        shown = f'#include {kind}{target}{">" if kind == "<" else chr(34)}'
        if PLATFORM.match(target) and (kind == "<" or "/" not in target or
                                       folder_of(target) == ""):
            if here != "host":
                faults.append(f"{where}: {shown}: platform header outside host/")
            continue
        if kind == "<":
            continue
        target = target.replace("\\", "/")
        path = target if "/" in target else posixpath.join(posixpath.dirname(relative), target)
        if posixpath.dirname(path) == posixpath.dirname(relative):
            a, b = class_of(relative), class_of(path)
            if a != b:
                class_edges.setdefault(a, {}).setdefault(b, (where, shown))
                if relative.endswith((".h", ".hpp", ".inl")):
                    header_edges.setdefault(a, {})[b] = True
        there = folder_of(target) if "/" in target else here
        if not here or not there:
            continue
        if there != here and target not in INTERFACES:
            edges.setdefault(here, {}).setdefault(there, (where, shown))
        if LAYERS[there] > LAYERS[here] and target not in INTERFACES:
            faults.append(
                f"{where}: {shown}: {here} (layer {LAYERS[here]}) includes "
                f"{there} (layer {LAYERS[there]})"
            )
    for cycle in find_cycles(edges):
        links = []
        for a, b in zip(cycle, cycle[1:] + cycle[:1]):
            where, shown = edges[a][b]
            links.append(f"  {where}: {shown} ({a} -> {b})")
        faults.append("folder cycle " + " -> ".join(cycle + [cycle[0]]) + ":\n" + "\n".join(links))
    # A base that makes its derived classes (a factory) is no circle: a including b only
    # to make it does not count where b's header builds on a's.
    def builds_on(b, a):
        return a in reachable_from(header_edges, b) and b not in reachable_from(header_edges, a)

    calls = {a: {b: at for b, at in ends.items() if not builds_on(b, a)}
             for a, ends in class_edges.items()}
    faults += class_circles(calls)
    return faults


def class_circles(class_edges):
    """A fault for every group of classes of one folder that include each other round."""
    faults = []
    for cycle in find_cycles(class_edges):
        links = []
        for a, b in zip(cycle, cycle[1:] + cycle[:1]):
            where, shown = class_edges[a][b]
            links.append(f"  {where}: {shown} ({a} -> {b})")
        text = "file circle " + " -> ".join(cycle + [cycle[0]]) + ":\n" + "\n".join(links)
        faults.append(text)
    return faults


def reachable_from(edges, start):
    seen, todo = {start}, [start]
    while todo:
        for nxt in edges.get(todo.pop(), {}):
            if nxt not in seen:
                seen.add(nxt)
                todo.append(nxt)
    return seen


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    if not os.path.isdir(root):
        print(f"check-layers: no folder {root}", file=sys.stderr)
        return 2
    faults = check(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-layers: {len(faults)} fault(s)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
