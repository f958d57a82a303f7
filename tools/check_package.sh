#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR, unpacks it into a scratch root
# with `dpkg -x`, checks what it installs and what it depends on, and starts
# the unpacked program on the offscreen platform.
#
#   tools/check_package.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >/dev/null)
deb="$(ls "$scratch"/out/fennimo_*.deb)"
fail() { echo "check_package: $*" >&2; exit 1; }

depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n fonts-arphic-uming \
  fonts-noto-cjk; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *qt6-wayland* ]] || fail "Recommends lacks qt6-wayland"

dpkg -x "$deb" "$scratch/root"
for file in usr/bin/fennimo \
            usr/share/applications/org.fennimo.Fennimo.desktop \
            usr/share/kio/servicemenus/fennimo-rename.desktop \
            usr/share/metainfo/org.fennimo.Fennimo.metainfo.xml \
            usr/share/icons/hicolor/16x16/apps/fennimo.png \
            usr/share/icons/hicolor/32x32/apps/fennimo.png \
            usr/share/icons/hicolor/48x48/apps/fennimo.png; do
  [ -e "$scratch/root/$file" ] || fail "the package lacks /$file"
done

# A MIME type in the menu entry would let the desktop make Fennimo the
# program that opens folders.
! grep -q '^MimeType=' "$scratch/root/usr/share/applications/org.fennimo.Fennimo.desktop" ||
  fail "the menu entry declares a MIME type"

program="$scratch/root/usr/bin/fennimo"
version="$(QT_QPA_PLATFORM=offscreen "$program" --version)"
[[ "$version" == *"1.2.0"* ]] || fail "--version says: $version"

# Started on a folder, the program opens its window and waits for the user;
# it must still be running a moment later, then it is ended.
mkdir "$scratch/folder"
QT_QPA_PLATFORM=offscreen "$program" "$scratch/folder" >"$scratch/log" 2>&1 &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || { cat "$scratch/log" >&2; fail "the unpacked program did not stay up"; }
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "check_package: $(basename "$deb") installs and starts"
