#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test and run Fennimo,
# and any further packages named as arguments (tools/fuzz.sh names clang).
# Idempotent: a package that is already installed is left alone, and apt is
# not touched at all when nothing is missing.
set -euo pipefail

packages=(
  g++ cmake make ninja-build mold pkg-config libxxhash-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-arphic-uming fonts-noto-cjk fonts-dejavu-core
  xvfb xauth imagemagick openbox xdotool
  desktop-file-utils appstream dpkg-dev file
  qt6-translations-l10n qt6-wayland
  sway grim at-spi2-core python3-pyatspi dbus
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# No translated package descriptions, and no sync of each file dpkg
# unpacks: a fresh machine unpacks about 450 packages here, and dpkg's
# manual warns that the syncs slow some file systems badly (Debian's own
# container images turn them off the same way).
$sudo apt-get update -qq -o Acquire::Languages=none
$sudo apt-get install -y -qq --no-install-recommends -o DPkg::Options::=--force-unsafe-io "${missing[@]}"
