#!/usr/bin/env python3
"""Checks the layers over the #include lines of the program's sources: no file includes one of a
layer above its own, and no files include each other round in a circle (a header and its .cpp
count as one file). Prints what it finds; exits 1 when it finds anything.
Usage: check-structure.py SOURCE_ROOT"""
import os
import re
import sys

# What each folder may include besides itself, bottom up.
LAYERS = {
    "platform/com": [],
    "platform/win": ["platform/com"],
    "platform/dshow": ["platform/com", "platform/win"],
    "platform/gst": ["platform/com", "platform/win", "platform/dshow"],
    "framework": ["platform/com", "platform/win"],
    "media": ["framework", "platform/com", "platform/win", "platform/dshow"],
    "engine": ["media", "framework", "platform/com", "platform/win", "platform/dshow"],
    "settings": ["framework", "platform/com", "platform/win"],
    "app": ["engine", "media", "framework", "platform/com", "platform/win", "platform/dshow"],
    "ui": ["app", "settings", "engine", "media", "framework", "platform/com", "platform/win", "platform/dshow"],
    "desktop": ["app", "engine", "media", "framework", "platform/com", "platform/win", "platform/dshow"],
    "tools": ["platform/com", "platform/win", "platform/dshow"],
}
ROOT_LAYER = "main"  # the composition root may use everything
# Circles that are the design's own: a filter hands out its pins and a pin names its filter, as
# DirectShow's filters and pins do.
ALLOWED_CIRCLES = [{"platform/gst/GstFilter", "platform/gst/GstPin"}]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(path):
    for layer in sorted(LAYERS, key=len, reverse=True):
        if path.startswith(layer + "/"):
            return layer
    return ROOT_LAYER if path.startswith(ROOT_LAYER + "/") else None


def main(root):
    files = {}
    for top in list(LAYERS) + [ROOT_LAYER]:
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    path = os.path.relpath(os.path.join(folder, name), root)
                    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                        files[path] = INCLUDE.findall(f.read())
    faults = []
    units = {}  # a file without its extension -> the units it includes
    for path, includes in sorted(files.items()):
        layer = layer_of(path)
        unit = os.path.splitext(path)[0]
        units.setdefault(unit, set())
        for included in includes:
            if included not in files:
                continue  # not one of the program's own (a test's, a generated one)
            other = layer_of(included)
            if layer != ROOT_LAYER and other != layer and other not in LAYERS[layer]:
                faults.append(f"{path} includes {included}: {layer}/ may not use {other}/")
            target = os.path.splitext(included)[0]
            if target != unit:
                units[unit].add(target)

    # Circles: the strongly connected groups of more than one unit (Tarjan).
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(unit):
        index[unit] = low[unit] = len(index)
        stack.append(unit)
        on_stack.add(unit)
        for target in units.get(unit, ()):
            if target not in index:
                visit(target)
                low[unit] = min(low[unit], low[target])
            elif target in on_stack:
                low[unit] = min(low[unit], index[target])
        if low[unit] == index[unit]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == unit:
                    break
            if len(group) > 1 and set(group) not in ALLOWED_CIRCLES:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for unit in sorted(units):
        if unit not in index:
            visit(unit)
    for group in groups:
        faults.append("files include each other round: " + ", ".join(group))

    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
