#!/usr/bin/env python3
"""Prints how much of the program's code is widget-free.

The program's code is every .cpp and .h in app, cli, link, params, teach,
live, record, calib, scope, inifile and platform (tools excluded). Two figures:
  core library  files compiled into c3core (no Qt at all) and their headers
  widget-free   files that include no Qt Widgets, Gui or plot header,
                directly or through the project's own headers
Usage: scripts/code-share.py [SOURCE_ROOT]"""
import glob
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
os.chdir(root)
folders = ["app", "cli", "link", "params", "teach", "live", "record", "calib", "scope", "inifile", "settings", "platform"]
gui = re.compile(r'#include\s*<(Q(Widget|Label|PushButton|Dialog|MessageBox|Table|Combo|Spin|Line'
                 r'|Plain|Text|Check|Radio|Group|Grid|HBox|VBox|Box|Frame|Progress|Slider|Tab|Stacked'
                 r'|Scroll|Menu|Action|Application|Painter|Color|Font|Pixmap|Image|Palette|Print'
                 r'|Abstract|Header|Style|Tool|Splitter|FileDialog|InputDialog|KeyEvent|MouseEvent'
                 r'|Screen|Icon|Window|Cursor|Brush|Pen)\w*|qcustomplot\.h)>')
include = re.compile(r'#include\s*"([^"]+)"')

files = {}
for f in folders:
    for p in glob.glob(f + "/*.cpp") + glob.glob(f + "/*.h"):
        files[p] = open(p, errors="replace").read()

core = set()
for f in folders:
    cmake = open(f + "/CMakeLists.txt").read()
    for m in re.finditer(r"c3_core_sources\(([^)]*)\)", cmake):
        for src in m.group(1).split():
            core.add(f + "/" + src)
            header = f + "/" + src.rsplit(".", 1)[0] + ".h"
            if header in files:
                core.add(header)

memo = {}


def uses_gui(p, seen=()):
    if p in memo:
        return memo[p]
    if p in seen or p not in files:
        return False
    src = files[p]
    result = bool(gui.search(src)) or any(uses_gui(h, seen + (p,)) for h in include.findall(src))
    memo[p] = result
    return result


total = sum(s.count("\n") for s in files.values())
in_core = sum(s.count("\n") for p, s in files.items() if p in core)
free = sum(s.count("\n") for p, s in files.items() if not uses_gui(p))
print(f"program code   {total} lines")
print(f"core library   {in_core} lines ({100.0 * in_core / total:.0f} %)")
print(f"widget-free    {free} lines ({100.0 * free / total:.0f} %)")
