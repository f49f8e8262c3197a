#!/usr/bin/env python3
"""Fails when an include under src/ goes the wrong way: services, platform, widgets, imaging and richtext include
only themselves; the project model only services and itself; features (paste, clipmenu, editor, the rest of
project) no composition root, no other feature's window, and only the main window its own header."""
import os
import re
import sys

LOWER = {"services", "platform", "widgets", "imaging", "richtext"}
FEATURES = {"paste", "clipmenu", "editor", "project"}
MODEL = re.compile(r"project/(ClipTable|ContainerFormat|ProjectContainer|ProjectReader|ProjectWriter|ProjectLog)\b")


def problem(source, target):
    folder, target_folder = source.split("/")[0], target.split("/")[0]
    if "/" not in target:
        return "not qualified by its folder"
    if folder == "startup" or target.endswith(".moc"):
        return None
    if folder in LOWER:
        return None if target_folder == folder else f"{folder}/ includes only itself"
    if MODEL.match(source):
        return None if target_folder == "services" or MODEL.match(target) else "the model includes services only"
    if target_folder in LOWER or MODEL.match(target):
        return None
    if target_folder not in FEATURES:
        return f"a feature includes {target_folder}/"
    if target == "project/frmZolpane.h" and not source.startswith("project/frmZolpane."):
        return "only the main window includes its header"
    if target_folder != folder and os.path.basename(target).startswith("frm"):
        return "a feature includes another feature's window"
    return None


src = sys.argv[1]
found = []
for dirpath, _, files in os.walk(src):
    for name in (n for n in files if n.endswith((".h", ".cpp")) and dirpath != src):  # main.cpp only wires
        source = os.path.relpath(os.path.join(dirpath, name), src)
        with open(os.path.join(dirpath, name), encoding="utf-8") as f:
            for target in re.findall(r'^\s*#\s*include\s+"([^"]+)"', f.read(), re.M):
                if why := problem(source, target):
                    found.append(f"{source}: #include \"{target}\": {why}")
print("\n".join(found + [f"{int(not found)} passed, {int(bool(found))} failed: include layers ({len(found)} wrong)"]))
sys.exit(1 if found else 0)
