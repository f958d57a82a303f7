#!/usr/bin/env bash
# Takes the README's pictures of the real windows: docs/main-window.png
# (Fennimo on a prepared folder, after a query for "IMG"), docs/preview.png
# (the preview of a replacement that meets a name already taken) and
# docs/gallery.png (fennimo-gallery, with its inactive companion window).
# Both run under Xvfb at 1280x1024 and 96 DPI, with openbox as the window
# manager when it is installed, and are driven with xdotool.
#
#   tools/screenshots.sh [BUILD_DIR]     (default: build)
#
# Not part of ./test.sh: the pictures are for people, and are committed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (./setup.sh installs it)" >&2; exit 1; }
done
cmake --build "$build" --target fennimo fennimo-gallery >/dev/null

. "$root/tools/xvfb.sh"
if command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

# The window's position and size on the screen, as "x y width height".
window_box() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# Waits for the window titled $1, then gives its id.
window_named() {
  xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# --- The main window, after a query -------------------------------------------
# A short path, as a user's folder would be; made afresh and removed after.
demo=/tmp/fennimo-demo
rm -rf "$demo"
also_remove+=("$demo")
folder="$demo/假期照片"
mkdir -p "$folder"
for name in IMG_0001.jpg IMG_0002.jpg IMG_0003.jpg IMG_0004.jpg notes.txt 海边.jpg 行程安排.doc; do
  : >"$folder/$name"
done
"$build/app/fennimo" "$folder" &
pids+=($!)
main="$(window_named 'Fennimo 1.2.0 ')"
sleep 1
# Text3 and Command2, in pixels from the window's top left (their twips
# positions in Frame1 at 15 twips per pixel).
xdotool mousemove --window "$main" 544 286 click 1
xdotool type --delay 50 IMG
xdotool mousemove --window "$main" 680 284 click 1
# The pointer away from every control, so no hover face is caught.
xdotool mousemove 1270 1010
sleep 1
read -r x y w h < <(window_box "$main")
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$root/docs/main-window.png"
kill "${pids[-1]}"
# Gone before the next window is looked for, so the search never meets it
# half destroyed.
wait "${pids[-1]}" 2>/dev/null || true

# --- The preview window --------------------------------------------------------
trip="$demo/旅行"
mkdir -p "$trip"
for name in IMG_0001.jpg IMG_0002.jpg IMG_0003.jpg trip_0002.jpg notes.txt 海边.jpg; do
  : >"$trip/$name"
done
"$build/app/fennimo" "$trip" &
pids+=($!)
main="$(window_named 'Fennimo 1.2.0 ')"
sleep 1
# Text3, then Text4, as above; F5 from there.
xdotool mousemove --window "$main" 544 286 click 1
xdotool type --delay 50 IMG_
xdotool mousemove --window "$main" 632 286 click 1
xdotool type --delay 50 trip_
xdotool key F5
preview="$(window_named '改名预览')"
xdotool mousemove 1270 1010
sleep 1
read -r x y w h < <(window_box "$preview")
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$root/docs/preview.png"
kill "${pids[-1]}"
# Gone before the next window is looked for, so the search never meets it
# half destroyed.
wait "${pids[-1]}" 2>/dev/null || true

# --- The gallery ---------------------------------------------------------------
"$build/gallery/fennimo-gallery" &
pids+=($!)
gallery="$(window_named 'Fennimo 控件库')"
inactive="$(window_named '未激活的窗口')"
xdotool mousemove 1270 1010
sleep 1
read -r gx gy gw gh < <(window_box "$gallery")
read -r ix iy iw ih < <(window_box "$inactive")
right=$(( ix + iw > gx + gw ? ix + iw : gx + gw ))
bottom=$(( iy + ih > gy + gh ? iy + ih : gy + gh ))
left=$(( ix < gx ? ix : gx ))
top=$(( iy < gy ? iy : gy ))
import -window root -crop "$((right - left + 8))x$((bottom - top + 8))+$((left - 4))+$((top - 4))" +repage \
  "$root/docs/gallery.png"

echo "screenshots: wrote docs/main-window.png, docs/preview.png and docs/gallery.png"
