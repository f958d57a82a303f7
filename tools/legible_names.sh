#!/usr/bin/env bash
# Checks that names are legible to the byte: shows the real main window
# under Xvfb on a folder holding "l1Il0O.txt", takes a picture of it
# (legible-names.png in the output folder) and compares, pixel by pixel, the
# six glyphs l 1 I l 0 O as the name list Text2 draws them (in the face of
# the file list and the text boxes): each must differ from
# every other in its shape, not by a pixel or two. A second picture shows the
# same name typed into Text3, Text5 and zztt, to see that it fits them.
#
#   tools/legible_names.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, a fresh temporary folder)
#
# Exits non-zero when two glyphs look alike. Not part of ./test.sh: it needs
# a real X server and a font set-up, like the Wayland and AT-SPI checks.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="${2:-$(mktemp -d)}"
mkdir -p "$out"
for tool in Xvfb xdotool import convert python3; do
  command -v "$tool" >/dev/null || { echo "legible_names: $tool is missing (./setup.sh installs it)" >&2; exit 1; }
done
cmake --build "$build" --target fennimo >/dev/null

. "$root/tools/xvfb.sh"

mkdir -p "$work/names"
: >"$work/names/l1Il0O.txt"
"$build/app/fennimo" "$work/names" &
pids+=($!)
main="$(xdotool search --sync --onlyvisible --name '^Fennimo 1.2.0 $' | head -n 1)"
# The file list's click fills the two result lists.
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
# File1: Frame3 at (120, 480) twips in the window, File1 at (2040, 240) in
# Frame3, 2655 x 3600 twips; 15 twips a pixel at 96 DPI.
file1_x=$((X + 144)) file1_y=$((Y + 48))
xdotool mousemove $((file1_x + 40)) $((file1_y + 10)) click 1
# Text3, Text5 and zztt get the name typed in.
for at in "544 286" "544 345" "564 401"; do
  read -r tx ty <<<"$at"
  xdotool mousemove --window "$main" "$tx" "$ty" click 1
  xdotool type --delay 20 'l1Il0O|o'
done
xdotool mousemove 1270 1010
sleep 1
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/legible-names.png"
# The first line of Text2 (Frame1 at (5040, 480) twips, Text2 at (120, 240)
# in it), inside its border: black on white, where File1 shows its chosen
# row inverted.
convert "$out/legible-names.png" -crop "200x22+347+50" +repage -colorspace gray -depth 8 "$work/row.pgm"

python3 - "$work/row.pgm" <<'PY'
import sys

data = open(sys.argv[1], "rb").read()
# A binary PGM: "P5", width, height, maximum, then one byte a pixel.
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace():
        pos += 1
    end = pos
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[pos:end])
    pos = end
pos += 1
width, height = int(fields[1]), int(fields[2])
pixels = [data[pos + y * width: pos + (y + 1) * width] for y in range(height)]
# Ink is anything clearly darker than the list's white.
ink = [[255 - v for v in row] for row in pixels]
dark = [[v > 60 for v in row] for row in ink]
# The text's band: the rows with ink; the glyphs: runs of columns with ink.
rows = [y for y in range(height) if any(dark[y])]
if not rows:
    sys.exit("legible_names: no text found in the file list")
top, bottom = rows[0], rows[-1] + 1
glyphs, x = [], 0
while x < width and len(glyphs) < 6:
    if any(dark[y][x] for y in range(top, bottom)):
        start = x
        while x < width and any(dark[y][x] for y in range(top, bottom)):
            x += 1
        glyphs.append([row[start:x] for row in ink[top:bottom]])
    x += 1
names = ["l", "1", "I", "l", "0", "O"]
if len(glyphs) < 6:
    sys.exit(f"legible_names: found {len(glyphs)} glyphs, not 6")

def difference(a, b):
    # The pixels whose ink differs by more than a third, the two glyphs
    # side by side from their first inked column.
    total = 0
    for ra, rb in zip(a, b):
        for i in range(max(len(ra), len(rb))):
            va = ra[i] if i < len(ra) else 0
            vb = rb[i] if i < len(rb) else 0
            total += abs(va - vb) > 85
    return total

for g, n in zip(glyphs, names):
    print(f"--- {n} ({len(g[0])} px wide)")
    for row in g:
        print("".join("#" if v > 160 else "+" if v > 60 else "." for v in row))
alike = []
print("pixels that differ, pair by pair:")
for i in range(6):
    for j in range(i + 1, 6):
        if names[i] == names[j]:
            continue
        d = difference(glyphs[i], glyphs[j])
        print(f"  {names[i]} {names[j]}: {d}")
        if d < 3:
            alike.append(f"{names[i]}/{names[j]}")
# The two l's are the same letter and must draw the same.
same = difference(glyphs[0], glyphs[3])
print(f"  l l: {same} (the same letter)")
if alike:
    sys.exit("legible_names: alike: " + ", ".join(alike))
print("legible_names: l, 1, I, 0 and O are all told apart")
PY
echo "legible_names: picture in $out/legible-names.png"
