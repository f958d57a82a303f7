#!/usr/bin/env bash
# Reads Fennimo's main window as a screen reader does, through the AT-SPI
# bus with pyatspi, and renames a file with it: prints the accessible tree
# (role, name, states, actions, text), types "IMG_" and "photo_" into the
# two replacement fields by their names, presses "修改" through its action,
# and checks the folder on the disk. Runs under Xvfb in a D-Bus session of
# its own.
#
#   tools/atspi_check.sh [BUILD_DIR]     (default: build)
#
# Exits 77 (skipped) when Xvfb, dbus-run-session or pyatspi is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
python=/usr/bin/python3
command -v Xvfb >/dev/null && command -v dbus-run-session >/dev/null && [ -x "$python" ] &&
  "$python" -c 'import pyatspi' 2>/dev/null ||
  { echo "atspi_check: Xvfb, dbus-run-session or pyatspi (python3-pyatspi) is missing, skipped"; exit 77; }

if [ -z "${ATSPI_CHECK_IN_SESSION:-}" ]; then
  exec env ATSPI_CHECK_IN_SESSION=1 dbus-run-session -- "$0" "$build"
fi

. "$root/tools/xvfb.sh"
# Qt's bridge otherwise waits for the desktop to say that a screen reader
# is running.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_STATE_HOME="$work/state"
mkdir -p "$work/folder"
: >"$work/folder/IMG_0001.jpg"
: >"$work/folder/notes.txt"
"$build/app/fennimo" "$work/folder" &
pids+=($!)

"$python" - "$work/folder" <<'EOF'
import os
import sys
import time

import pyatspi

folder = sys.argv[1]


def application():
    for _ in range(200):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name.lower() == "fennimo" and app.childCount > 0:
                return app
        time.sleep(0.05)
    sys.exit("atspi_check: Fennimo is not on the AT-SPI bus")


def describe(node):
    states = node.getState().getStates()
    shown = [pyatspi.stateToString(s) for s in states
             if s in (pyatspi.STATE_CHECKED, pyatspi.STATE_FOCUSED, pyatspi.STATE_FOCUSABLE,
                      pyatspi.STATE_SENSITIVE, pyatspi.STATE_EDITABLE)]
    line = f"{node.getRoleName()} \"{node.name}\" [{' '.join(shown)}]"
    try:
        action = node.queryAction()
        line += " actions: " + ",".join(action.getName(i) for i in range(action.nActions))
    except NotImplementedError:
        pass
    try:
        text = node.queryText()
        content = text.getText(0, min(text.characterCount, 60)).replace("\n", " / ")
        if content:
            line += f" text: \"{content}\""
    except NotImplementedError:
        pass
    return line


def walk(node, depth=0, found=None):
    found = found if found is not None else []
    print("  " * depth + describe(node))
    found.append(node)
    for child in node:
        if child is not None:
            walk(child, depth + 1, found)
    return found


app = application()
nodes = walk(app)
by_name = {}
for node in nodes:
    by_name.setdefault((node.getRoleName(), node.name), node)

failures = []
window = app[0]
if window.getRoleName() != "frame" or window.name.strip() != "Fennimo 1.2.0":
    failures.append(f"the window reads as {window.getRoleName()} \"{window.name}\"")
for role, name in [("push button", "修改"), ("push button", "查询"), ("push button", "帮助信息"),
                   ("push button", "帮助"), ("push button", "关闭"), ("radio button", "去掉所有扩展名"),
                   ("text", "将上面所有文件名称中的字符"), ("text", "替换为"),
                   ("combo box", "驱动器"), ("list", "文件夹"), ("list", "文件")]:
    if (role, name) not in by_name:
        failures.append(f"no {role} named \"{name}\"")


def selected(node):
    # What a list holds now: its selected child, as a screen reader reads it
    # after the list's name.
    for child in node:
        if child is not None and child.getState().contains(pyatspi.STATE_SELECTED):
            return child.name
    return None


# The folder list shows the folder opened last in its path, chosen.
if ("list", "文件夹") in by_name:
    shown = selected(by_name[("list", "文件夹")])
    print(f"atspi_check: 文件夹 holds \"{shown}\"")
    if shown != os.path.basename(folder):
        failures.append(f"the folder list reads \"{shown}\", not the open folder")
if ("combo box", "驱动器") in by_name:
    # A combo box's value is its text.
    shown = by_name[("combo box", "驱动器")].queryText().getText(0, -1)
    print(f"atspi_check: 驱动器 holds \"{shown}\"")
    if not shown.startswith("/"):
        failures.append(f"the drive box reads \"{shown}\", not a drive")
if failures:
    sys.exit("atspi_check: FAILED: " + "; ".join(failures))

by_name[("text", "将上面所有文件名称中的字符")].queryEditableText().setTextContents("IMG_")
by_name[("text", "替换为")].queryEditableText().setTextContents("photo_")
button = by_name[("push button", "修改")].queryAction()
button.doAction([button.getName(i) for i in range(button.nActions)].index("Press"))
for _ in range(100):
    if sorted(os.listdir(folder)) == ["notes.txt", "photo_0001.jpg"]:
        break
    time.sleep(0.05)
names = sorted(os.listdir(folder))
if names != ["notes.txt", "photo_0001.jpg"]:
    sys.exit(f"atspi_check: FAILED: after pressing \"修改\" the folder holds {names}")
print("atspi_check: pressing \"修改\" through AT-SPI renamed IMG_0001.jpg to photo_0001.jpg")
EOF
