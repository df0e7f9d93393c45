#!/usr/bin/env bash
# Installs into a temporary prefix and checks what lands there; validates the
# desktop entry and the AppStream metadata where their validators are installed.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
expect() { [[ -e "$prefix/$1" ]] || fail "$1 is not installed"; }

expect bin/hayasa
[[ -x "$prefix/bin/hayasa" ]] || fail "bin/hayasa is not executable"
expect share/applications/hayasa.desktop
expect share/metainfo/io.github.hayasa.metainfo.xml
for size in 16 22 24 32 48 64 128 256; do
    icon="share/icons/hicolor/${size}x${size}/apps/hayasa.png"
    expect "$icon"
    if command -v identify >/dev/null; then
        [[ $(identify -format '%wx%h' "$prefix/$icon") == "${size}x${size}" ]] || fail "$icon size"
    fi
done
grep -qx 'Name=速さの比べ方' "$prefix/share/applications/hayasa.desktop" || fail "desktop entry name"
grep -q '^Categories=.*Education' "$prefix/share/applications/hayasa.desktop" || fail "category"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/hayasa.desktop" || fail "desktop-file-validate"
else
    echo "desktop-file-validate not installed: not run"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/io.github.hayasa.metainfo.xml" ||
        fail "appstreamcli validate"
else
    echo "appstreamcli not installed: not run"
fi
# The Debian package carries the same files and names what they need.
if command -v dpkg-deb >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$prefix/package" >/dev/null) || fail "cpack -G DEB"
    deb=$(ls "$prefix"/package/*.deb)
    depends=$(dpkg-deb -f "$deb" Depends)
    for need in libqt6widgets6 qt6-qpa-plugins fonts-ipafont-gothic fonts-ipafont-mincho; do
        [[ "$depends" == *"$need"* ]] || fail "the package does not depend on $need"
    done
    contents=$(dpkg-deb -c "$deb")
    grep -q './usr/bin/hayasa$' <<<"$contents" || fail "the package lacks the program"
    grep -q './usr/share/applications/hayasa.desktop$' <<<"$contents" ||
        fail "the package lacks the desktop entry"
fi
echo "PASS: install into $prefix"
