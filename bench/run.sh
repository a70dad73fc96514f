#!/usr/bin/env bash
# Builds and runs every benchmark of Zerlivan, prints the tables and writes them to
# <build>/bench-results/<date>-<mode>/ (and the link <build>/bench-results/latest).
#
#   bench/run.sh [quick|full|prompt]
#
#   quick  a smoke run of a few minutes: pacing 4 s per case, one repetition, short benchmarks.
#   full   the figures: pacing 60 s per case at 40/130 ms, 40 s (at least 30 ticks) at 1000/2000 ms,
#          three repetitions, interleaved (about two hours); tick costs with 5 repetitions.
#   prompt the pacing of the timer's prompt wake-ups alone, with the other core busy: Dot on Xvfb
#          at 40, 130 and 1000 ms against the same without them, the floor with and without the
#          same slice and the polling reference, 20 s per case, two repetitions (about 12 minutes).
#
# Environment: ZRV_BENCH_BUILD (build directory, default <repo>/build-bench), ZRV_BENCH_DISPLAY
# (the Xvfb display number to use, default 93), ZRV_BENCH_SECONDS / ZRV_BENCH_REPS (override the
# pacing run length and repetitions), ZRV_BENCH_PACING_ARGS (more options for the pacing suite, e.g.
# "--intervals 40 --loads busy"; see bench/pacing.cpp), ZRV_BENCH_PARTS (any of
# "pacing tick callgrind startup memory journal", default all), ZRV_BENCH_STARTUP_ROUNDS (rounds of
# ten starts of each program, default 2), ZRV_BENCH_BASE (a commit, e.g.
# "main": its program and benchmarks are built from that commit too and measured beside these in
# the tick, start-up and memory parts, each "before" row next to its "now" row).
# Installs nothing itself beyond what scripts/setup.sh installs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mode="${1:-${ZRV_BENCH_MODE:-quick}}"
case "$mode" in quick | full | prompt) ;; *) echo "usage: $0 [quick|full|prompt]" >&2; exit 2 ;; esac
parts="${ZRV_BENCH_PARTS:-pacing tick callgrind startup memory journal}"
prompt_args=()
if [ "$mode" = prompt ]; then
    parts=pacing
    # shellcheck disable=SC2054 # the commas are in one argument: the list of intervals
    prompt_args=(--intervals 40,130,1000 --loads busy --platforms xcb --exercises dot --seconds "${ZRV_BENCH_SECONDS:-20}"
        --ref-seconds 10 --reps "${ZRV_BENCH_REPS:-2}")
fi
want() { [[ " $parts " == *" $1 "* ]]; }

"$root/scripts/setup.sh"
build="${ZRV_BENCH_BUILD:-$root/build-bench}"
cmake -S "$root" -B "$build" -DZRV_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target zerlivan zrv_bench_pacing zrv_bench_tick zrv_bench_callgrind \
    zrv_bench_session zrv_bench_startup zrv_bench_hello zrv_bench_journal

# The commit to compare with, built from its own sources beside this build.
base="${ZRV_BENCH_BASE:-}"
base_bin=""
if [ -n "$base" ]; then
    base_src="$build/base-src"
    rm -rf "$base_src"
    mkdir -p "$base_src"
    git -C "$root" archive "$base" | tar -x -C "$base_src"
    cmake -S "$base_src" -B "$build/base" -DZRV_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build/base" -j"$(nproc)" --target zerlivan zrv_bench_tick zrv_bench_session
    base_bin="$build/base/bench"
fi

out="$build/bench-results/$(date +%Y%m%d-%H%M%S)-$mode"
mkdir -p "$out"
ln -sfn "$out" "$build/bench-results/latest"
bin="$build/bench"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
# The program's journal goes here, not into the user's data folder.
export XDG_DATA_HOME="$out/data"
export QT_LOGGING_RULES="qt.qpa.*=false"

# An X server of our own: 1920 x 1080, black root window (the start-up watcher relies on it).
display=":${ZRV_BENCH_DISPLAY:-93}"
Xvfb "$display" -screen 0 1920x1080x24 -br -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
offscreen_config="$out/offscreen-1920x1080.json"
cat >"$offscreen_config" <<'JSON'
{ "screens": [ { "name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1 } ] }
JSON
offscreen="offscreen:configfile=$offscreen_config"

machine() {
    echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), kernel $(uname -r)"
    echo "Load average at $1: $(cut -d' ' -f1-3 /proc/loadavg)"
}
summary="$out/summary.md"
{
    echo "# Zerlivan benchmarks ($mode, $(date '+%Y-%m-%d %H:%M'))"
    echo
    machine start
    echo "Other work on the machine shares these cores: see the loadavg column and the load averages."
    echo
} >"$summary"

if want pacing; then
    echo "== Pacing" >&2
    if [ "$mode" = full ]; then pacing_mode=--full; else pacing_mode=--quick; fi
    quick_len=()
    [ "$mode" = quick ] && [ -z "${ZRV_BENCH_SECONDS:-}" ] && quick_len=(--seconds 4)
    read -r -a pacing_args <<<"${ZRV_BENCH_PACING_ARGS:-}"
    "$bin/zrv_bench_pacing" suite "$pacing_mode" "${quick_len[@]}" "${prompt_args[@]}" "${pacing_args[@]}" \
        --out "$out/pacing" --x11-display "$display"
    { echo "## Pacing"; echo; cat "$out/pacing/pacing.md"; echo; } >>"$summary"
fi

if want tick; then
    echo "== Cost of a tick" >&2
    if [ "$mode" = full ]; then reps=5; min_time=0.5; else reps=3; min_time=0.1; fi
    { echo "## Cost of a tick and of the first frame (Google Benchmark, median of $reps, microseconds)"; echo
      echo "Screen sizes: offscreen 1920 x 1080 (config file), Xvfb 1920 x 1080 and 3840 x 2160."; echo
      echo "| benchmark | real time | CPU time |"; echo "|---|---|---|"; } >>"$summary"
    # A second X server at 3840 x 2160: the screen draws at its device resolution.
    display4k=":$((${display#:} + 1))"
    Xvfb "$display4k" -screen 0 3840x2160x24 -br -nolisten tcp >"$out/xvfb-2160.log" 2>&1 &
    xvfb4k=$!
    for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X${display4k#:}" ] && break; sleep 0.1; done
    for platform in offscreen xcb xcb-2160; do
        if [ "$platform" = offscreen ]; then qpa="$offscreen"; else qpa=xcb; fi
        tick_display="$display"
        [ "$platform" = xcb-2160 ] && tick_display="$display4k"
        # The commit compared with first ("before: " rows), then this one.
        for which in ${base_bin:+before} now; do
            tick_bin="$bin"
            [ "$which" = before ] && tick_bin="$base_bin"
            DISPLAY="$tick_display" QT_QPA_PLATFORM="$qpa" "$tick_bin/zrv_bench_tick" --benchmark_repetitions="$reps" \
                --benchmark_min_time="$min_time" --benchmark_report_aggregates_only=true \
                --benchmark_out="$out/tick-$platform-$which.json" --benchmark_out_format=json |
                tee "$out/tick-$platform-$which.txt"
        done
        # Rows on the in-memory display are the same on both platforms: keep them once.
        # Columns are two or more spaces apart: the screen rows' names hold single spaces.
        for which in ${base_bin:+before} now; do
            awk -F '  +' -v p="$platform" -v w="$which" '$1 ~ /_median$/ && (p == "offscreen" || $1 !~ /memory/) {
                     name = $1; sub(/_median$/, "", name); sub(/\/process_time$/, "", name)
                     printf "%s\t| %s%s | %s | %s |\n", name, (w == "before" ? "before: " : ""), name, $2, $3 }' \
                "$out/tick-$platform-$which.txt"
        done | sort -s -t$'\t' -k1,1 | cut -f2- >>"$summary"
    done
    kill "$xvfb4k" 2>/dev/null || true
    echo >>"$summary"
fi

if want callgrind; then
    echo "== Instructions per tick (callgrind)" >&2
    if [ "$mode" = full ]; then ticks=200; else ticks=40; fi
    mkdir -p "$out/callgrind"
    { echo "## Instructions (callgrind), first frame and per tick ($ticks ticks)"; echo
      echo "| display | exercise | first frame | per tick |"; echo "|---|---|---|---|"; } >>"$summary"
    for backend in memory screen; do
        for exercise in dot pyramid block; do
            file="$out/callgrind/$backend-$exercise.out"
            QT_QPA_PLATFORM="$offscreen" valgrind --tool=callgrind --instr-atstart=no \
                --callgrind-out-file="$file" "$bin/zrv_bench_callgrind" "$backend" "$exercise" "$ticks" \
                >"$out/callgrind/$backend-$exercise.log" 2>&1
            first=$(awk '/^totals:/ {print $2}' "$file.1")
            all=$(awk '/^totals:/ {print $2}' "$file.2")
            per=$((all / ticks))
            printf '| %s | %s | %d | %d |\n' "$backend" "$exercise" "$first" "$per" | tee -a "$summary"
        done
    done
    echo >>"$summary"
fi

if want startup; then
    echo "== Start-up" >&2
    { echo "## Start-up on Xvfb (process start to window mapped and drawn): a one-label Qt Widgets window of the same size, ${base:+the program at $base, }the program"; echo; } >>"$summary"
    # Interleaved, twice (ZRV_BENCH_STARTUP_ROUNDS), so that a change of the machine's load falls
    # on all of them.
    for round in $(seq "${ZRV_BENCH_STARTUP_ROUNDS:-2}"); do
        for which in reference ${base:+before} now; do
            case "$which" in
            reference) program="$bin/zrv_bench_hello" ;;
            before) program="$build/base/src/app/zerlivan" ;;
            now) program="$build/src/app/zerlivan" ;;
            esac
            DISPLAY="$display" QT_QPA_PLATFORM=xcb "$bin/zrv_bench_startup" "$program" 10 |
                tee "$out/startup-$which-$round.txt" >&2
            echo "$which (round $round): $(grep '^RESULT' "$out/startup-$which-$round.txt")" >>"$out/startup.txt"
        done
    done
    { echo '```'; cat "$out/startup.txt"; echo '```'; echo; } >>"$summary"
fi

if want memory; then
    echo "== Peak memory" >&2
    if [ "$mode" = full ]; then seconds=10; else seconds=3; fi
    display4k=":$((${display#:} + 1))"
    Xvfb "$display4k" -screen 0 3840x2160x24 -br -nolisten tcp >"$out/xvfb-2160-memory.log" 2>&1 &
    xvfb4k=$!
    for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X${display4k#:}" ] && break; sleep 0.1; done
    { echo "## Resident memory: start, each exercise $seconds s at 40 ms on Xvfb, exit (peak, and at the end of each exercise)"; echo
      echo '```'; } >>"$summary"
    for screen in 1080 2160; do
        memory_display="$display"
        [ "$screen" = 2160 ] && memory_display="$display4k"
        for which in ${base_bin:+before} now; do
            session_bin="$bin"
            [ "$which" = before ] && session_bin="$base_bin"
            DISPLAY="$memory_display" QT_QPA_PLATFORM=xcb /usr/bin/time -v "$session_bin/zrv_bench_session" "$seconds" \
                >"$out/session-$screen-$which.txt" 2>&1
            { echo "-- $which, screen height $screen"
              grep -E "ticks|Maximum resident" "$out/session-$screen-$which.txt"; } >>"$summary"
        done
    done
    kill "$xvfb4k" 2>/dev/null || true
    { echo '```'; echo; } >>"$summary"
fi

if want journal; then
    echo "== Journal" >&2
    { echo "## The end of a run without and with the journal, and recording alone (Google Benchmark, median of 3)"
      echo; echo "screen: Xvfb 1920 x 1080; journal files on the build directory's disk."; echo
      echo "| benchmark | real time | CPU time |"; echo "|---|---|---|"; } >>"$summary"
    DISPLAY="$display" QT_QPA_PLATFORM=xcb ZRV_BENCH_JOURNAL_DIR="$build" "$bin/zrv_bench_journal" \
        --benchmark_repetitions=3 --benchmark_report_aggregates_only=true | tee "$out/journal.txt"
    awk -F '  +' '$1 ~ /_median$/ { name = $1; sub(/_median$/, "", name); printf "| %s | %s | %s |\n", name, $2, $3 }' \
        "$out/journal.txt" >>"$summary"
    echo >>"$summary"
fi

machine end >>"$summary"
echo
cat "$summary"
echo
echo "Written to $out" >&2
