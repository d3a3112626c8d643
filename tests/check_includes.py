#!/usr/bin/env python3
"""Keeps the include arrows pointing one way.

ARROWS are the whole rule: a folder may include its own files and those of
every folder its arrows reach, directly or through other folders; nothing
else. The portable folders never include a Win32 header: what they need of
Windows comes through the C and C++ runtimes. A file in a folder
without arrows fails too, so a new folder gets its arrows written here (and
drawn in the README's layout section) before it is used.

    check_includes.py [ROOT]      exit 0 when every include keeps to the arrows
"""
import os
import re
import sys

PORTABLE = ["core", "nearest", "layers", "analysis", "coverage", "batchkml", "calculators"]
TABS = ["nearest/win", "layers/win", "analysis/win", "coverage/win", "batchkml/win", "calculators/win"]

ARROWS = {
    "core": [],
    "nearest": ["core"],
    "layers": ["core"],
    "analysis": ["layers"],
    "coverage": ["core"],
    "batchkml": ["core"],
    "calculators": ["core"],
    "cli": PORTABLE,
    "bench": PORTABLE,
    "tests": PORTABLE + ["cli"],
    # The Win32 side: the clipboard below the shell, every tab above it.
    "core/win": ["core"],
    "shell": ["core/win"],
    "nearest/win": ["nearest", "shell"],
    "layers/win": ["layers", "shell"],
    "analysis/win": ["analysis", "layers/win"],
    "coverage/win": ["coverage", "shell"],
    "batchkml/win": ["batchkml", "shell"],
    "calculators/win": ["calculators", "shell"],
    "apps": TABS,
    "tests/win": ["apps", "tests"],
}


def reach(folder):
    """The folder and every folder its arrows lead to."""
    seen, todo = set(), [folder]
    while todo:
        f = todo.pop()
        if f not in seen:
            seen.add(f)
            todo += ARROWS[f]
    return seen


WIN32_HEADERS = {"windows.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h", "shobjidl.h", "objbase.h",
                 "ole2.h", "dwmapi.h", "gdiplus.h", "gdiplusflat.h", "winuser.h", "wingdi.h"}
SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc")
SKIPPED_TOP = {"build", ".git"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path):
    """The folder a path falls under: the longest one with arrows that holds it."""
    best = None
    for key in ARROWS:
        if path.startswith(key + "/") and (best is None or len(key) > len(best)):
            best = key
    return best


def problems(root):
    found = []
    for top in sorted(os.listdir(root)):
        if top in SKIPPED_TOP or not os.path.isdir(os.path.join(root, top)):
            continue
        for dirpath, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if name.endswith(SOURCE_ENDINGS):
                    found += check_file(root, os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/"))
    return found


def check_file(root, rel):
    here = folder_of(rel)
    if here is None:
        return [f"{rel}: no include arrows for its folder"]
    allowed = reach(here)
    portable = not allowed & {"core/win", "shell"}
    out = []
    with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            kind, target = m.groups()
            if kind == "<":
                if portable and target.lower() in WIN32_HEADERS:
                    out.append(f"{rel}:{number}: portable code includes <{target}>")
                continue
            # Quoted includes name a file from the root, or one beside the includer.
            beside = os.path.normpath(os.path.join(os.path.dirname(rel), target)).replace(os.sep, "/")
            if os.path.exists(os.path.join(root, target)):
                resolved = target
            elif os.path.exists(os.path.join(root, beside)):
                resolved = beside
            else:
                continue  # not ours (a third-party header)
            there = folder_of(resolved)
            if there not in allowed:
                out.append(f'{rel}:{number}: {here} may not include "{target}" ({there})')
    return out


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    found = problems(os.path.abspath(root))
    for p in found:
        print(p)
    print(f"{len(found)} include(s) against the arrows" if found else "includes keep to the arrows")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
