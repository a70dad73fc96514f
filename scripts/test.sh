#!/usr/bin/env bash
# Installs what is missing, builds Zerlivan with its tests and runs every test and check:
#   1. the formatting (clang-format) and the shell scripts (shellcheck), see scripts/lint.sh;
#   2. the build and the test suite, in build/ (arguments are passed on to ctest, e.g. -R settings);
#      ZRV_WERROR=ON (as the CI script sets it) makes every compiler warning an error;
#   3. clang-tidy over src/, on that build;
#   4. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/
#      (the same ctest arguments);
#   5. the settings and journal fuzzers (libFuzzer, clang) for a bounded time, in build-fuzz/.
# ZRV_TEST_LINT=0 leaves out steps 1 and 3; ZRV_TEST_SANITIZERS=0 step 4; ZRV_FUZZ_SECONDS sets
# the time of step 5 (60 by default, 0 leaves it out).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" test
jobs="$(nproc)"

lint="${ZRV_TEST_LINT:-1}"
if [ "$lint" != 0 ]; then
    echo "== Formatting and shell scripts"
    bash "$root/scripts/lint.sh" format-check
    bash "$root/scripts/lint.sh" shellcheck
fi

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZRV_WERROR="${ZRV_WERROR:-OFF}" >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && ctest --output-on-failure -j"$jobs" "$@")

if [ "$lint" != 0 ]; then
    echo "== clang-tidy over src/"
    bash "$root/scripts/lint.sh" tidy "$root/build"
fi

if [ "${ZRV_TEST_SANITIZERS:-1}" != 0 ]; then
    echo "== The tests with AddressSanitizer and UndefinedBehaviorSanitizer"
    cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZRV_SANITIZE=ON >/dev/null
    cmake --build "$root/build-asan" -j"$jobs"
    (cd "$root/build-asan" &&
        ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}" \
        ctest --output-on-failure -j"$jobs" "$@")
fi

fuzz_seconds="${ZRV_FUZZ_SECONDS:-60}"
if [ "$fuzz_seconds" != 0 ]; then
    echo "== The fuzzers (settings, journal), ${fuzz_seconds} s"
    CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZRV_BUILD_FUZZ=ON \
        -DZRV_SANITIZE=ON -DZRV_BUILD_TESTS=OFF >/dev/null
    bash "$root/fuzz/run.sh" "$root/build-fuzz" "$fuzz_seconds"
fi
