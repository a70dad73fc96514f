#!/usr/bin/env bash
# Builds the Debian package from the build directory as the README says, checks what it holds
# and what lintian says of it, extracts it into a temporary root and starts the program from
# there on an X server of its own, to see its settings window mapped.
#   check_package.sh <build directory>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -f "$build"/zerlivan_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log"
    fail "cpack could not make the package"
}
debs=("$build"/zerlivan_*.deb)
[ -f "${debs[0]}" ] || fail "no zerlivan_*.deb in $build"
deb=${debs[0]}

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$work/files"
for f in usr/bin/zerlivan usr/libexec/zerlivan/zerlivan-launcher usr/share/applications/zerlivan.desktop \
    usr/share/icons/hicolor/scalable/apps/zerlivan.svg usr/share/icons/hicolor/48x48/apps/zerlivan.png \
    usr/share/metainfo/example.nivoleth.zerlivan.metainfo.xml usr/share/man/man1/zerlivan.1.gz \
    usr/share/doc/zerlivan/copyright usr/share/doc/zerlivan/changelog.gz; do
    grep -qxF "$f" "$work/files" || fail "the package does not hold $f"
done
grep -qE '^usr/lib/([^/]+/)?zerlivan/plugins/libzerlivan_chart\.so$' "$work/files" || fail "the package does not hold the chart module"
# Nothing of the tests, the benchmarks or the build's own tools.
if grep -vE '^usr/(bin/zerlivan|libexec/zerlivan/|lib/([^/]+/)?zerlivan/|share/)|/$' "$work/files"; then
    fail "the package holds files outside the program's install (above)"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6charts6 libqt6sql6-sqlite libc6; do
    grep -q "$lib" <<<"$depends" || fail "Depends does not name $lib: $depends"
done

if command -v lintian >/dev/null; then
    # Errors fail; warnings are printed (the README explains the ones that stay).
    lintian --allow-root "$deb" >"$work/lintian" 2>&1 || true
    cat "$work/lintian"
    if grep -q '^E:' "$work/lintian"; then fail "lintian reports errors"; fi
else
    echo "lintian is not installed: the package is not checked by it"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/zerlivan
[ -x "$program" ] || fail "the extracted program is not executable"
"$program" --version | grep -q '^zerlivan ' || fail "the extracted program does not say its version"
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
    echo "xvfb-run or xdotool is not installed: the extracted program is not started"
    exit 0
fi
mkdir -p "$work/home" "$work/run"
# The window is looked for from inside the X session; the program is stopped with SIGTERM.
cat >"$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
"$1" >"$2/program.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
    if xdotool search --onlyvisible --name '^Zerlivan$' >/dev/null 2>&1; then
        kill "$pid"
        wait "$pid" || true
        exit 0
    fi
    sleep 0.1
done
kill "$pid" 2>/dev/null || true
cat "$2/program.log" >&2
exit 1
SESSION
(cd "$work/run" && env -u XDG_DATA_HOME HOME="$work/home" xvfb-run -a bash "$work/session.sh" "$program" "$work") ||
    fail "the extracted program did not show its settings window"
echo "package: files, dependencies, lintian and the extracted program: ok"
