#!/usr/bin/env python3
"""Lists every include in src/ that points up a floor.

The folders are floors: a file includes only headers of its own folder or of a floor below.

    app > cli > session > exchange > form_logic > writing > form > ui, catalogue
        > serial, texts, domain

The Form interface (texts/form.h) sits at the bottom, so every floor may use it. Besides, only
the demo module (app/demo_device.cpp) includes the simulator's headers, which have no folder.
Exit status 1 when an include points up or sideways across a floor, or reaches the simulator.
"""
import pathlib
import re
import sys

FLOORS = {
    "app": 8,
    "cli": 7,
    "session": 6,
    "exchange": 5,
    "form_logic": 4,
    "writing": 3,
    "form": 2,
    "ui": 1,
    "catalogue": 1,
    "serial": 0,
    "texts": 0,
    "domain": 0,
}
SIMULATOR_USERS = {"app/demo_device.cpp"}
BARE_INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)"', re.M)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/([^"]+)"', re.M)


def upward_includes(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in FLOORS:
            continue
        text = path.read_text(encoding="utf-8")
        name = str(path.relative_to(src))
        for header in BARE_INCLUDE.findall(text):
            if not (path.parent / header).exists() and name not in SIMULATOR_USERS:
                found.append(f"{name}: {header} (outside src/)")
        for target, header in INCLUDE.findall(text):
            if target not in FLOORS or target == folder:
                continue
            if FLOORS[target] >= FLOORS[folder]:
                found.append(f"{name}: {target}/{header}")
    return found


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    found = upward_includes(src)
    for line in found:
        print(f"upward include: {line}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
