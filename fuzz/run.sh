#!/usr/bin/env bash
# Runs the settings fuzzer for a bounded time, starting from fuzz/corpus.
#
#   fuzz/run.sh <build-dir> <seconds>          explore on a copy of the corpus; the tree is not changed
#   fuzz/run.sh <build-dir> <seconds> --keep   then merge what was new into fuzz/corpus, minimised
#
# <build-dir> is a build configured with -DZRV_BUILD_FUZZ=ON (clang); the target fuzz_settings is
# built here if it is missing.  Fails, with the input that failed and its bytes, when the fuzzer
# finds a crash or a broken check.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
seconds="$2"
keep="${3:-}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if ! cmake --build "$build" --target fuzz_settings -j"$(nproc)" >"$work/build.log" 2>&1; then
    cat "$work/build.log"
    exit 1
fi
fuzzer="$build/fuzz/fuzz_settings"
mkdir "$work/corpus" "$work/artifacts"
cp "$here/corpus/"* "$work/corpus/"

status=0
"$fuzzer" -max_len=8192 -max_total_time="$seconds" -print_final_stats=1 -print_pcs=0 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/log" 2>&1 || status=$?
grep -E '^(stat::|Done)' "$work/log" || true
if [ "$status" -ne 0 ] || ls "$work/artifacts/"* >/dev/null 2>&1; then
    tail -n 40 "$work/log"
    for f in "$work/artifacts/"*; do
        [ -e "$f" ] || continue
        echo "failing input $(basename "$f"):"
        od -A d -t x1z -v "$f" | head -n 40
    done
    exit 1
fi

if [ "$keep" = "--keep" ]; then
    mkdir "$work/merged"
    "$fuzzer" -merge=1 -max_len=8192 "$work/merged" "$here/corpus" "$work/corpus" >/dev/null 2>&1
    # libFuzzer names an input after the SHA-1 of its bytes; the seeds have names of their own.
    known="$(sha1sum "$here/corpus/"* | cut -d' ' -f1)"
    added=0
    for f in "$work/merged/"*; do
        sum="$(sha1sum "$f" | cut -d' ' -f1)"
        if ! grep -qx "$sum" <<<"$known"; then
            cp "$f" "$here/corpus/$sum"
            added=$((added + 1))
        fi
    done
    echo "corpus: $added new inputs kept in $here/corpus"
fi
