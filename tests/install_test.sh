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
expect share/doc/hayasa/copyright
expect share/doc/hayasa/changelog.Debian.gz
expect share/man/man1/hayasa.1.gz
metainfo="$prefix/share/metainfo/io.github.hayasa.metainfo.xml"
grep -q '<developer_name>[^<]' "$metainfo" || fail "the metainfo names no developer"
grep -q '<content_rating type="oars-' "$metainfo" || fail "the metainfo has no OARS rating"

# The Debian package carries the same files and names what they need.
if command -v dpkg-deb >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$prefix/package" >/dev/null) || fail "cpack -G DEB"
    deb=$(ls "$prefix"/package/*.deb)
    field() { dpkg-deb -f "$deb" "$1"; }
    # Libraries as dpkg-shlibdeps finds them (versioned), and what is loaded by name.
    for need in 'libc6 (>= ' 'libgcc-s1 (>= ' 'libstdc++6 (>= ' 'libqt6widgets6 (>= ' libxcb1 \
        qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic fonts-ipafont-mincho \
        fonts-urw-base35; do
        [[ "$(field Depends)" == *"$need"* ]] || fail "Depends lacks $need: $(field Depends)"
    done
    [[ "$(field Recommends)" == *qt6-wayland* ]] || fail "qt6-wayland is not recommended"
    [[ "$(field Maintainer)" != *localhost* && "$(field Maintainer)" == *Hayasa* ]] ||
        fail "maintainer: $(field Maintainer)"
    description=$(field Description)
    grep -q '^ .*速さの比べ方' <<<"$description" || fail "no Japanese extended description"
    grep -q '^ .*comparing speeds' <<<"$description" || fail "no English extended description"

    root="$prefix/unpacked"
    dpkg-deb -x "$deb" "$root"
    [[ -x "$root/usr/bin/hayasa" ]] || fail "the package lacks the program"
    [[ -e "$root/usr/share/applications/hayasa.desktop" ]] || fail "the package lacks the desktop entry"
    readelf -S --wide "$root/usr/bin/hayasa" | grep -qE '\.(symtab|debug_info)' &&
        fail "the packaged program is not stripped"
    doc="$root/usr/share/doc/hayasa"
    head -n1 "$doc/copyright" |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "the copyright file is not machine-readable"
    grep -q '^License: Expat$' "$doc/copyright" || fail "the copyright file states no licence"
    zcat "$doc/changelog.Debian.gz" >"$prefix/changelog"
    [[ $(dpkg-parsechangelog -l "$prefix/changelog" -S Version) == "$(field Version)" ]] ||
        fail "the change log does not end at version $(field Version)"

    if command -v lintian >/dev/null; then
        lintian --fail-on error,warning "$deb" || fail "lintian"
    else
        echo "lintian not installed: not run"
    fi
fi
echo "PASS: install into $prefix"
