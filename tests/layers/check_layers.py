#!/usr/bin/env python3
"""Fails when an include under src/ goes the wrong way between the layers:
1. services, platform, widgets, imaging, richtext: nothing of ours outside their own folder;
2. the project model (clip table, project container, reader and writer): services and itself only;
3. features (paste, clipmenu, editor, the rest of project): layers 1 and 2, their own folder, and no window of
   another feature; only the main window itself includes the main window's header;
4. startup, the composition root: anything."""

import os
import re
import sys

LOWER = {"services", "platform", "widgets", "imaging", "richtext"}
FEATURES = {"paste", "clipmenu", "editor", "project"}
MODEL = re.compile(r"project/(ClipTable|ContainerFormat|ProjectContainer|ProjectReader|ProjectWriter|ProjectLog)\b")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def problem(source, target):
    folder = source.split("/")[0]
    target_folder = target.split("/")[0]
    if "/" not in target:
        return "not qualified by its folder"
    if folder == "startup":
        return None
    if folder in LOWER:
        return None if target_folder == folder else f"{folder}/ includes only itself"
    if MODEL.match(source):
        return None if target_folder == "services" or MODEL.match(target) else "the model includes services only"
    if target_folder in LOWER or MODEL.match(target):
        return None
    if target_folder == "startup":
        return "a feature includes the composition root"
    if target == "project/frmZolpane.h" and not source.startswith("project/frmZolpane."):
        return "only the main window includes its header"
    if target_folder != folder and os.path.basename(target).startswith("frm"):
        return "a feature includes another feature's window"
    if target_folder not in FEATURES:
        return f"unknown folder {target_folder}"
    return None


def main(src):
    found = []
    for dirpath, _, files in os.walk(src):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            source = os.path.relpath(os.path.join(dirpath, name), src)
            if "/" not in source:
                continue  # main.cpp builds the platform and hands it to the composition root
            with open(os.path.join(dirpath, name), encoding="utf-8") as f:
                for target in INCLUDE.findall(f.read()):
                    if target.endswith(".moc"):
                        continue
                    why = problem(source, target)
                    if why:
                        found.append(f"{source}: #include \"{target}\": {why}")
    for line in found:
        print(line)
    print(f"{0 if found else 1} passed, {1 if found else 0} failed: include layers ({len(found)} wrong includes)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
