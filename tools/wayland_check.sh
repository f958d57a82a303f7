#!/usr/bin/env bash
# Shows Fennimo's main window and the gallery on Wayland, under a headless
# sway at scale 1 and at scale 2, with Qt's own Wayland plugin, and checks
# the cut corners of the title bar in a screenshot taken with grim: the
# pixels outside the curve show the desktop behind the window, never the
# key colour, and the title bar beside them is drawn.
#
#   tools/wayland_check.sh [BUILD_DIR]     (default: build)
#
# Exits 77 (skipped) when sway, grim or the Wayland plugin is missing.
# sway refuses to run as root, so as root everything runs as "nobody".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
for tool in sway swaymsg grim convert python3; do
  command -v "$tool" >/dev/null || { echo "wayland_check: $tool is missing, skipped"; exit 77; }
done
if ! ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1; then
  echo "wayland_check: Qt's Wayland plugin (qt6-wayland) is missing, skipped"
  exit 77
fi

work="$(mktemp -d)"
chmod 755 "$work"
sway_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# A timeout's TERM ends the script through its cleanup, leaving nothing running.
trap 'exit 1' TERM INT

# The programs are copied where the other user can surely read them.
cp "$build/app/fennimo" "$build/gallery/fennimo-gallery" "$work/"
mkdir -p "$work/run" "$work/folder" "$work/state"
: >"$work/folder/IMG_0001.jpg"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody: "$work/run" "$work/state"
  chmod 777 "$work"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod 700 "$work/run"

background="#204080"
cat >"$work/config" <<EOF
output * bg $background solid_color
# Room for the largest window at scale 2.
output * mode 2560x1600
default_border none
default_floating_border none
for_window [app_id=".*"] floating enable
EOF

# Runs a command as the user, in a clean environment that leads to the
# compositor once it is up.
as_session() {
  local session=()
  [ -n "${display:-}" ] && session=(WAYLAND_DISPLAY="$display" SWAYSOCK="$swaysock" QT_QPA_PLATFORM=wayland)
  prefix=("${as_user[@]}" env -i PATH="$PATH" HOME="$work" XDG_RUNTIME_DIR="$work/run" XDG_STATE_HOME="$work/state"
    LANG=C.UTF-8 "${session[@]}")
}
run() {
  as_session
  "${prefix[@]}" "$@"
}
# The same in the background, logging to $log; $! is the program's own id.
start() {
  as_session
  "${prefix[@]}" "$@" >"$log" 2>&1 &
}

display=""
log="$work/sway.log"
start env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$work/config"
sway_pid=$!
for _ in $(seq 100); do
  swaysock="$(ls "$work"/run/sway-ipc.*.sock 2>/dev/null | head -n 1 || true)"
  [ -n "$swaysock" ] && display="$(cd "$work/run" && ls wayland-? 2>/dev/null | head -n 1 || true)"
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || { echo "wayland_check: sway did not start"; cat "$work/sway.log"; exit 1; }

# The box of the window titled $1 on the output, in logical pixels, as
# "x y width height", once sway shows it.
window_box() {
  for _ in $(seq 100); do
    box="$(run swaymsg -t get_tree | python3 -c '
import json, sys
title = sys.argv[1]
def walk(node):
    if node.get("name") == title and node.get("app_id"):
        r = node["rect"]
        print(r["x"], r["y"], r["width"], r["height"])
        return True
    return any(walk(n) for n in node.get("nodes", []) + node.get("floating_nodes", []))
walk(json.load(sys.stdin))' "$1")"
    [ -n "$box" ] && { echo "$box"; return; }
    sleep 0.1
  done
  echo "wayland_check: no window titled \"$1\"" >&2
  return 1
}

# The colour of the listed pixels of the screenshot, one "r,g,b" a line.
pixels() {
  local shot="$1"
  shift
  for at in "$@"; do
    convert "$shot" -format '%[fx:int(255*p{'"$at"'}.r)],%[fx:int(255*p{'"$at"'}.g)],%[fx:int(255*p{'"$at"'}.b)]\n' info:
  done
}

failures=0
check() {
  local scale="$1" title="$2"
  shift 2
  log="$work/app.log"
  start "$@"
  app_pid=$!
  read -r x y w h < <(window_box "$title")
  local shot="$work/shot.png" left top right
  # The output's pixels, which grim captures, are the logical ones times
  # the scale.
  left=$((x * scale)) top=$((y * scale)) right=$(((x + w) * scale - 1))
  # The first frame may come a moment after the window.
  for _ in $(seq 50); do
    run grim "$shot"
    title_pixel="$(pixels "$shot" "$((left + 40 * scale)),$((top + 2 * scale))")"
    [ "$title_pixel" != "32,64,128" ] && break
    sleep 0.1
  done
  corner_left="$(pixels "$shot" "$left,$top")"
  corner_right="$(pixels "$shot" "$right,$top")"
  # Every pixel of the corners' key area: the top rows, the first and last
  # few columns.
  magenta="$(convert "$shot" -crop "$((6 * scale))x$((6 * scale))+$left+$top" +repage \
    \( "$shot" -crop "$((6 * scale))x$((6 * scale))+$((right - 6 * scale + 1))+$top" +repage \) +append txt:- |
    grep -ci '#FF00FF' || true)"
  echo "scale $scale, \"$title\": corners $corner_left and $corner_right, title $title_pixel, key-coloured pixels $magenta"
  if [ "$corner_left" != "32,64,128" ] || [ "$corner_right" != "32,64,128" ] || [ "$magenta" != 0 ] ||
    [ "$title_pixel" = "32,64,128" ]; then
    echo "wayland_check: FAILED: the corners must show the desktop ($background) and the title bar must be drawn"
    cat "$work/app.log"
    cp "$shot" "${TMPDIR:-/tmp}/wayland_check-$scale-$failures.png"
    echo "wayland_check: the screenshot is ${TMPDIR:-/tmp}/wayland_check-$scale-$failures.png"
    failures=$((failures + 1))
  fi
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}

for scale in 1 2; do
  run swaymsg output '*' scale "$scale" >/dev/null
  check "$scale" "Fennimo 1.2.0 " "$work/fennimo" "$work/folder"
  check "$scale" "Fennimo 控件库" "$work/fennimo-gallery"
done
[ "$failures" -eq 0 ] && echo "wayland_check: passed"
exit $((failures > 0))
