#!/usr/bin/env bash
# Makes the README's pictures in docs/ again, with one command:
#  - a frame of each exercise and two animations, drawn by the frame renderer (tools/zrv_render)
#    on the in-memory display with fixed seeds, so they come out the same every time;
#  - the settings window and a full-screen run of the real program on a virtual X server
#    (Xvfb, xdotool, ImageMagick's import; skipped with a note when they are missing).
# Usage: scripts/render-pictures.sh [build directory, default build]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
docs="$root/docs"
mkdir -p "$docs"

cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target zerlivan zrv_render -j"$(nproc)" >/dev/null
render="$build/tools/zrv_render"
program="$build/src/app/zerlivan"

tmp="$(mktemp -d)"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$tmp}"
# The real runs below keep their journal here, not in the user's data folder.
export XDG_DATA_HOME="$tmp/data"
xvfb_pid=""
app_pid=""
cleanup() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$tmp"
}
trap cleanup EXIT

# --- Exercise frames (2x, nearest neighbour) --------------------------------------------------
frame() { # <name> <ticks> <renderer options...>
    local name=$1 ticks=$2
    shift 2
    "$render" "$@" --seed 2024 --ticks "$ticks" --scale 2 -o "$docs/$name.png" >/dev/null
    echo "docs/$name.png"
}
frame exercise-dot 3 --exercise dot --type 3
frame exercise-pyramid-ucgen 5 --exercise pyramid --type 0 --direction 0
frame exercise-pyramid-tek-satir 6 --exercise pyramid --type 1 --direction 0 --lines 1 --letters 6 \
    --background Siyah --active "Açık Sarı" --passive Gri --dot Kırmızı --groups 1100
frame exercise-block-ayri 5 --exercise block --type 0 --direction 0 --lines 2 --letters 6 \
    --background Lacivert --active Beyaz --passive Sarı --dot Kırmızı --groups 0110
frame exercise-block-bitisik 9 --exercise block --type 1 --direction 1 --lines 1 --letters 8 \
    --background Beyaz --active Kırmızı --passive Gri --dot "Açık Mavi" --groups 1001

# --- Animations: a few steps at 0.4 s each (1x, to keep them small) ---------------------------
animate() { # <name> <ticks> <renderer options...>
    local name=$1 ticks=$2
    shift 2
    rm -f "$tmp"/anim-*.png
    "$render" "$@" --seed 2024 --ticks "$ticks" --scale 1 -o "$tmp/anim-%03d.png" >/dev/null
    convert -delay 40 -loop 0 "$tmp"/anim-*.png -layers Optimize "$docs/$name.gif"
    echo "docs/$name.gif"
}
animate exercise-pyramid-tek-satir 16 --exercise pyramid --type 1 --direction 1 --lines 1 --letters 4 \
    --background Siyah --active "Açık Sarı" --passive Gri --dot Kırmızı --groups 1100
animate exercise-block-zigzag 12 --exercise block --type 0 --direction 2 --lines 2 --letters 6 \
    --background Lacivert --active Beyaz --passive Sarı --dot Kırmızı --groups 0110

# --- The real program on a virtual X server ----------------------------------------------------
for tool in Xvfb xdotool import; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed (scripts/setup.sh installs it): the screenshots are left as they are" >&2
        exit 0
    fi
done
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
DISPLAY=":$(head -n 1 "$tmp/display")"
export DISPLAY
export QT_QPA_PLATFORM=xcb
xdotool mousemove 0 0

# Starts the program in a directory of its own with the settings the renderer options make;
# its settings window in $window, with the keyboard focus (as a window manager gives it).
window=""
start() {
    mkdir -p "$tmp/run"
    "$render" "$@" --write-settings "$tmp/run/zrv.opt"
    (cd "$tmp/run" && exec "$program" >"$tmp/program.log" 2>&1) &
    app_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zerlivan$' | head -n 1)
    xdotool windowfocus --sync "$window"
    sleep 0.5
}
stop() {
    xdotool windowfocus --sync "$window" key Escape
    wait "$app_pid" || true
    app_pid=""
    rm -rf "$tmp/run"
}

start --exercise pyramid --type 0 --direction 0 --lines 2 --letters 8 --groups 1010
import -window "$window" "$docs/screenshot-settings-description.png"
echo "docs/screenshot-settings-description.png"
xdotool key Right
sleep 0.5
import -window "$window" "$docs/screenshot-settings-pyramid.png"
echo "docs/screenshot-settings-pyramid.png"
stop

start --exercise dot --type 3
xdotool key Right
sleep 0.5
import -window "$window" "$docs/screenshot-settings-dot.png"
echo "docs/screenshot-settings-dot.png"
stop

# A Block run on a 5:4 screen: the 4:3 frame with black bars above and below, shown at half size.
start --exercise block --type 0 --direction 2 --lines 2 --letters 6 --background Lacivert \
    --active Beyaz --passive Sarı --dot Kırmızı --groups 0110
xdotool key Right Tab Tab space
timeout 20 xdotool search --sync --onlyvisible --name '^zrv$' >/dev/null
sleep 2
import -window root -filter point -resize 50% "$docs/screenshot-full-screen.png"
echo "docs/screenshot-full-screen.png"
xdotool key Escape
timeout 20 sh -c 'while xdotool search --onlyvisible --name "^zrv\$" >/dev/null; do sleep 0.1; done'
stop
