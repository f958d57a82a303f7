# Sourced by the tools that show the real windows under a private X server:
# a scratch folder $work; the list $pids of what the tool starts, each ended
# when the tool ends, last first, so that the X server goes last, with the
# paths in $also_remove removed after; and Xvfb at 1280x1024 and 96 DPI on a
# free display, with DISPLAY, QT_QPA_PLATFORM and LANG set for the programs.
work="$(mktemp -d)"
pids=()
also_remove=()
xvfb_cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work" "${also_remove[@]}"
}
trap xvfb_cleanup EXIT
# A timeout's TERM ends the tool through its cleanup, leaving nothing running.
trap 'exit 1' TERM INT

# The X server picks a free display and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "$(basename "$0"): Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb LANG=C.UTF-8
