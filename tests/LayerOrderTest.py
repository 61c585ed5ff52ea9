#!/usr/bin/env python3
"""Checks every #include against the layer order in ARCHITECTURE.md.

A source folder may include its own headers and those of folders listed before
it; tests/ and bench/ may include everything. Below the GTK building blocks no
toolkit header may appear, and in the basics not even GLib. libcurl's headers
belong to the network layer alone.

Usage: LayerOrderTest.py <source folder>
"""

import pathlib
import re
import sys

QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
ANGLED = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.M)
TOOLKIT = re.compile(r'^(gtk|gtkmm|gdk|gdkmm|webkit2|webkit|mpv|atk|atkmm|pango)[/.-]')
GLIB = re.compile(r'^(glib|glibmm|gio|giomm|gobject|json-glib|totem)')
TOOLKIT_FREE = {"basics", "settings", "cores", "tools"}
# libcurl has one front-end; everything else asks it
ONLY_IN = {"curl/": "platform/net/"}
SKIP_TOP = {"build", "build-asan", "build-fuzz", ".git", "data", "docs", "cmake"}


def read_layers(root):
    text = (root / "ARCHITECTURE.md").read_text(encoding="utf-8")
    block = re.search(r"```layers\n(.*?)```", text, re.S)
    if not block:
        sys.exit("ARCHITECTURE.md has no ```layers block")
    folders = []
    for line in block.group(1).splitlines():
        if line.strip() and not line.lstrip().startswith("#"):
            folder, layer = line.split()[:2]
            folders.append((folder, layer))
    return folders


def folder_of(path, folders):
    """The longest listed folder that holds the file, or None."""
    best = None
    for index, (folder, _) in enumerate(folders):
        if path.startswith(folder + "/") and (best is None or len(folder) > len(folders[best][0])):
            best = index
    return best


def check(root):
    folders = read_layers(root)
    faults = []
    sources = [p for p in root.rglob("*") if p.suffix in (".h", ".cpp") and p.is_file()]
    for path in sorted(sources):
        rel = path.relative_to(root).as_posix()
        top = rel.split("/")[0]
        if top in SKIP_TOP or top.startswith("build"):
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        includes = QUOTED.findall(text)
        if top in ("tests", "bench"):
            for inc in includes:
                if not (root / inc).is_file():
                    faults.append(f"{rel}: includes \"{inc}\", which is no file of the tree")
            continue
        own = folder_of(rel, folders)
        if own is None:
            faults.append(f"{rel}: its folder is not listed in ARCHITECTURE.md")
            continue
        own_folder, own_layer = folders[own]
        for inc in includes:
            if inc.startswith(("tests/", "bench/")):
                faults.append(f"{rel}: includes test code \"{inc}\"")
                continue
            target = folder_of(inc, folders)
            if target is None:
                faults.append(f"{rel}: includes \"{inc}\" from an unlisted folder")
            elif target > own:
                faults.append(f"{rel} ({own_folder}) includes \"{inc}\" ({folders[target][0]}),"
                              " which comes later in the layer order")
        for inc in ANGLED.findall(text):
            for prefix, home in ONLY_IN.items():
                if inc.startswith(prefix) and not rel.startswith(home):
                    faults.append(f"{rel}: <{inc}> belongs to {home} only")
        if own_layer in TOOLKIT_FREE:
            for inc in ANGLED.findall(text):
                if TOOLKIT.match(inc):
                    faults.append(f"{rel}: toolkit header <{inc}> in the {own_layer} layer")
                elif own_layer == "basics" and GLIB.match(inc):
                    faults.append(f"{rel}: GLib header <{inc}> in the basics layer")
    return faults


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = check(root)
    for fault in faults:
        print(fault)
    print(f"{len(faults)} include(s) against the layer order")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
