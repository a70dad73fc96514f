#!/usr/bin/env bash
# Installs the build into a temporary prefix as the README says, checks that every file lands
# in its standard place, validates the menu entry, starts the launcher (off-screen) to see the
# working directory it gives the program, and uninstalls with the install manifest.
#   check_install.sh <build directory>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
launched=""
cleanup() {
    if [ -n "$launched" ]; then kill "$launched" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix=$work/prefix
# The default component: its manifest is install_manifest_Unspecified.txt, so that the user's
# own install_manifest.txt stays as it is.
cmake --install "$build" --prefix "$prefix" --component Unspecified >/dev/null
manifest=$build/install_manifest_Unspecified.txt

icons=""
for size in 16 22 24 32 48 64 128 256; do
    icons="$icons share/icons/hicolor/${size}x${size}/apps/zerlivan.png"
done
metainfo=share/metainfo/example.nivoleth.zerlivan.metainfo.xml
for f in bin/zerlivan libexec/zerlivan/zerlivan-launcher share/applications/zerlivan.desktop \
    share/icons/hicolor/scalable/apps/zerlivan.svg $icons $metainfo share/man/man1/zerlivan.1; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
    grep -qxF "$prefix/$f" "$manifest" || fail "$f is not in the install manifest"
done
[ -x "$prefix/bin/zerlivan" ] || fail "the program is not executable"
# The chart module, where the program looks for it (bin/../lib/zerlivan/plugins, or the same in
# the multiarch folder).
chart=$(find "$prefix/lib" -path '*/zerlivan/plugins/libzerlivan_chart.so' -print -quit)
[ -n "$chart" ] || fail "the chart module is not installed under lib/"
grep -qxF "$chart" "$manifest" || fail "the chart module is not in the install manifest"
if ldd "$chart" | grep -q 'not found'; then fail "the chart module misses libraries: $(ldd "$chart")"; fi
[ -x "$prefix/libexec/zerlivan/zerlivan-launcher" ] || fail "the launcher is not executable"

entry=$prefix/share/applications/zerlivan.desktop
grep -qxF "Exec=\"$prefix/libexec/zerlivan/zerlivan-launcher\"" "$entry" || fail "Exec does not name the installed launcher: $(grep ^Exec "$entry")"
grep -qxF "Icon=zerlivan" "$entry" || fail "no icon"
grep -qxF "Categories=Education;" "$entry" || fail "not in Education"
if ! grep -q "^Name\[tr\]=" "$entry" || ! grep -q "^Comment\[tr\]=" "$entry"; then
    fail "no Turkish name or comment"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate refuses the menu entry"
else
    echo "desktop-file-validate is not installed (desktop-file-utils): the entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
    # Infos aside (the .example domain is no known top-level domain), nothing to report.
    appstreamcli validate --pedantic --no-net "$prefix/$metainfo" >"$work/appstream" ||
        fail "appstreamcli refuses the metainfo file: $(cat "$work/appstream")"
    if grep -E '^[EWP]:' "$work/appstream"; then fail "appstreamcli --pedantic finds the above"; fi
else
    echo "appstreamcli is not installed (appstream): the metainfo file is not validated"
fi
# The pictures are the repository's own files, under the address the build was configured with.
source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
pictures="$(sed -n 's/^ZRV_REPOSITORY_URL:STRING=//p' "$build/CMakeCache.txt")/raw/main/"
images=$(sed -n 's|.*<image[^>]*>\(.*\)</image>.*|\1|p' "$prefix/$metainfo")
[ -n "$images" ] || fail "the metainfo file shows no pictures"
for url in $images; do
    [[ $url == "$pictures"* ]] || fail "$url is not under $pictures"
    [ -f "$source/${url#"$pictures"}" ] || fail "$url: the repository has no ${url#"$pictures"}"
done
grep -qxF "<launchable type=\"desktop-id\">zerlivan.desktop</launchable>" <(sed 's/^ *//' "$prefix/$metainfo") ||
    fail "the metainfo file does not name the menu entry"
for size in 16 22 24 32 48 64 128 256; do
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/${size}x${size}/apps/zerlivan.png" | tr -s ' ')
    [ "$dims" = " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] ||
        fail "the ${size} px icon is not ${size} x ${size} ($dims)"
done
if command -v man >/dev/null; then
    page=$(MANWIDTH=80 man -l "$prefix/share/man/man1/zerlivan.1" 2>&1) || fail "man cannot show zerlivan.1"
    for part in NAME SYNOPSIS FILES KEYS zrv.opt; do
        grep -q "$part" <<<"$page" || fail "the manual page has no $part"
    done
fi
grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/zerlivan.svg" || fail "the icon is not an SVG picture"
if command -v python3 >/dev/null; then
    python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
        "$prefix/share/icons/hicolor/scalable/apps/zerlivan.svg" || fail "the icon is not well-formed XML"
fi

# The launcher gives the program the user's data directory as its working directory, made when
# missing; XDG_DATA_HOME moves it.  The program runs off-screen here and is stopped again.
launch_in() { # <expected working directory> <environment assignments...>
    local want=$1
    shift
    env -u XDG_DATA_HOME "$@" QT_QPA_PLATFORM=offscreen "$prefix/libexec/zerlivan/zerlivan-launcher" >/dev/null 2>&1 &
    launched=$!
    local cwd=""
    local exe=""
    for _ in $(seq 100); do
        # Once the launcher has become the program, its directory is the one it was given.
        exe=$(readlink "/proc/$launched/exe" 2>/dev/null || true)
        if [ "$exe" = "$prefix/bin/zerlivan" ]; then
            cwd=$(readlink "/proc/$launched/cwd" 2>/dev/null || true)
            break
        fi
        sleep 0.1
    done
    kill "$launched" 2>/dev/null || true
    wait "$launched" 2>/dev/null || true
    launched=""
    [ "$exe" = "$prefix/bin/zerlivan" ] || fail "the launcher does not start the installed program ($exe)"
    [ "$cwd" = "$want" ] || fail "the program runs in '$cwd', not in '$want'"
}
mkdir -p "$work/home"
launch_in "$work/home/.local/share/zerlivan" HOME="$work/home"
launch_in "$work/data/zerlivan" HOME="$work/home" XDG_DATA_HOME="$work/data"

# Uninstall as the README says: every file of the manifest goes.
xargs -d '\n' rm -f <"$manifest"
left=$(find "$prefix" -type f | wc -l)
[ "$left" -eq 0 ] || fail "$left files are left after uninstalling"
echo "install, menu entry, launcher and uninstall: ok"
