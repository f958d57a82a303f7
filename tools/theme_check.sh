#!/usr/bin/env bash
# Checks that the desktop's theme leaves the windows as designed: shows the
# main window and the pattern rule's message box under Xvfb three times,
# as it is, under QT_STYLE_OVERRIDE=Adwaita-Dark, and under the qt6ct
# platform theme with its dark "darker" colour scheme and the Adwaita-Dark
# style, and compares the pictures pixel by pixel with the first. The
# pictures are left in the output folder.
#
#   tools/theme_check.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, a fresh temporary folder)
#
# Needs adwaita-qt6 and qt6ct (apt-get install adwaita-qt6 qt6ct), which the
# program itself does not; a theme whose package is missing is skipped. Not
# part of ./test.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="${2:-$(mktemp -d)}"
mkdir -p "$out"
for tool in Xvfb xdotool import compare; do
  command -v "$tool" >/dev/null || { echo "theme_check: $tool is missing (./setup.sh installs it)" >&2; exit 1; }
done
cmake --build "$build" --target fennimo >/dev/null
plugins="$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)"

. "$root/tools/xvfb.sh"

mkdir -p "$work/folder" "$work/config/qt6ct"
for name in IMG_0001.jpg notes.txt 海边.jpg; do : >"$work/folder/$name"; done
cat >"$work/config/qt6ct/qt6ct.conf" <<CONF
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Adwaita-Dark
CONF

# Shows the window under the environment given as arguments and takes the
# main window and then the message box, as $out/<name>-window.png and
# $out/<name>-box.png.
shoot() {
  local name="$1"
  shift
  env "$@" "$build/app/fennimo" "$work/folder" 2>"$out/$name.log" &
  local pid=$!
  local main box
  main="$(xdotool search --sync --onlyvisible --name '^Fennimo 1.2.0 $' | head -n 1)"
  sleep 1
  # A click on the file list fills the two result lists; the focus stays
  # there, so that no blinking caret is caught.
  xdotool mousemove --window "$main" 200 60 click 1
  xdotool mousemove 1270 1010
  sleep 0.5
  import -window "$main" "$out/$name-window.png"
  # Check2, then the pattern box: a pattern without a star, and Tab.
  xdotool mousemove --window "$main" 368 432 click 1
  xdotool mousemove --window "$main" 550 435 click 1
  xdotool key ctrl+a type --delay 20 abc
  xdotool key Tab
  box="$(xdotool search --sync --onlyvisible --name '^Fennimo$' | head -n 1)"
  sleep 0.5
  import -window "$box" "$out/$name-box.png"
  xdotool key Return
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

shoot plain
status=0
check() {
  local name="$1"
  for part in window box; do
    local differ
    differ="$(compare -metric AE "$out/plain-$part.png" "$out/$name-$part.png" null: 2>&1 || true)"
    echo "theme_check: $name, $part: $differ pixels differ from the plain desktop's"
    [ "$differ" = 0 ] || status=1
  done
}
if [ -e "$plugins/styles/adwaita.so" ]; then
  shoot adwaita-dark QT_STYLE_OVERRIDE=Adwaita-Dark
  check adwaita-dark
else
  echo "theme_check: adwaita-qt6 is not installed; QT_STYLE_OVERRIDE=Adwaita-Dark skipped"
fi
if [ -e "$plugins/platformthemes/libqt6ct.so" ]; then
  shoot qt6ct-dark QT_QPA_PLATFORMTHEME=qt6ct XDG_CONFIG_HOME="$work/config"
  check qt6ct-dark
else
  echo "theme_check: qt6ct is not installed; its dark palette skipped"
fi
echo "theme_check: pictures in $out"
exit "$status"
