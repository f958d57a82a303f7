#!/usr/bin/env bash
# Sets up, builds and starts Fennimo in the folder this is called from.
set -euo pipefail
here="$(pwd)"
root="$(cd "$(dirname "$0")" && pwd)"
"$root/setup.sh"
# Ninja for a build folder made now; one made before keeps its generator.
generator=-GNinja
[ ! -f "$root/build/CMakeCache.txt" ] || generator=
cmake -S "$root" -B "$root/build" $generator -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target fennimo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display; start Fennimo from a desktop session (or under Xvfb with DISPLAY set)." >&2
  exit 1
fi
cd "$here"
exec "$root/build/app/fennimo"
