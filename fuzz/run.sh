#!/usr/bin/env bash
# Runs the fuzzers for a bounded time, the time split between them: the settings fuzzer from
# fuzz/corpus, the journal fuzzer from fuzz/corpus-journal.
#
#   fuzz/run.sh <build-dir> <seconds>          explore on copies of the corpora; the tree is not changed
#   fuzz/run.sh <build-dir> <seconds> --keep   then merge what was new into the corpora, minimised
#
# <build-dir> is a build configured with -DZRV_BUILD_FUZZ=ON (clang); the targets fuzz_settings
# and fuzz_journal are built here if they are missing.  Fails, with the input that failed and its
# bytes, when a fuzzer finds a crash or a broken check.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
seconds="$2"
keep="${3:-}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if ! cmake --build "$build" --target fuzz_settings fuzz_journal -j"$(nproc)" >"$work/build.log" 2>&1; then
    cat "$work/build.log"
    exit 1
fi

# fuzz <target> <corpus folder> <max_len> <seconds>
fuzz() {
    local fuzzer="$build/fuzz/$1" corpus="$here/$2" max_len="$3" time="$4" dir="$work/$1"
    mkdir -p "$dir/corpus" "$dir/artifacts"
    cp "$corpus/"* "$dir/corpus/"
    echo "-- $1, ${time} s"
    local status=0
    "$fuzzer" -max_len="$max_len" -max_total_time="$time" -print_final_stats=1 -print_pcs=0 \
        -artifact_prefix="$dir/artifacts/" "$dir/corpus" >"$dir/log" 2>&1 || status=$?
    grep -E '^(stat::|Done)' "$dir/log" || true
    if [ "$status" -ne 0 ] || ls "$dir/artifacts/"* >/dev/null 2>&1; then
        tail -n 40 "$dir/log"
        for f in "$dir/artifacts/"*; do
            [ -e "$f" ] || continue
            echo "failing input $(basename "$f"):"
            od -A d -t x1z -v "$f" | head -n 40
        done
        return 1
    fi

    if [ "$keep" = "--keep" ]; then
        mkdir "$dir/merged"
        "$fuzzer" -merge=1 -max_len="$max_len" "$dir/merged" "$corpus" "$dir/corpus" >/dev/null 2>&1
        # libFuzzer names an input after the SHA-1 of its bytes; the seeds have names of their own.
        local known added=0 sum
        known="$(sha1sum "$corpus/"* | cut -d' ' -f1)"
        for f in "$dir/merged/"*; do
            sum="$(sha1sum "$f" | cut -d' ' -f1)"
            if ! grep -qx "$sum" <<<"$known"; then
                cp "$f" "$corpus/$sum"
                added=$((added + 1))
            fi
        done
        echo "corpus: $added new inputs kept in $corpus"
    fi
}

half=$(((seconds + 1) / 2))
fuzz fuzz_settings corpus 8192 "$half"
fuzz fuzz_journal corpus-journal 16384 "$((seconds - half > 0 ? seconds - half : 1))"
