#!/usr/bin/env bash
# The code checks, each failing on the first slip (the CI script runs them all):
#   lint.sh format-check      clang-format (.clang-format) over every tracked source: prints what differs
#   lint.sh format            the same files formatted in place
#   lint.sh shellcheck        shellcheck over the shell scripts
#   lint.sh tidy [build dir] [regex]
#                             clang-tidy (.clang-tidy) over src/, with that build's compile_commands.json
#                             (default build/; it must have been built, for the generated sources);
#                             a regex narrows it to the sources it matches (e.g. timer/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

sources() {
    git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
        'tools/*.cpp' 'tools/*.h' 'fuzz/*.cpp' 'fuzz/*.h'
}
scripts=(scripts/*.sh fuzz/run.sh bench/run.sh tests/e2e/*.sh data/zerlivan-launcher .ci/run)

case "${1:-}" in
format-check) sources | xargs -0 clang-format --dry-run --Werror ;;
format) sources | xargs -0 clang-format -i ;;
shellcheck) shellcheck "${scripts[@]}" ;;
tidy)
    build="$(cd "${2:-build}" && pwd)"
    # Only the sources under src/: the generated moc files live in the build directory.
    run-clang-tidy -quiet -p "$build" -j"$(nproc)" "^$root/src/.*${3:-}.*\.cpp\$" 2>&1 |
        sed -E 's/\x1b\[[0-9;]*m//g' >"$build/clang-tidy.log" || {
        # Each finding once (one in a header comes from every source that includes it).
        grep -E '^/.*(warning|error):' "$build/clang-tidy.log" | sed "s|^$root/||" | sort -u ||
            tail -n 20 "$build/clang-tidy.log"
        echo "clang-tidy: findings above (the whole log: $build/clang-tidy.log)" >&2
        exit 1
    }
    ;;
*)
    echo "usage: lint.sh format-check | format | shellcheck | tidy [build dir] [regex]" >&2
    exit 2
    ;;
esac
