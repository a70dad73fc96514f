#!/usr/bin/env bash
# Installs what is missing, builds Zerlivan with its tests and runs every test, in three steps:
#   1. the test suite, in build/ (arguments are passed on to ctest, e.g. -R settings);
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/
#      (the same ctest arguments);
#   3. the settings fuzzer (libFuzzer, clang) for a bounded time, in build-fuzz/.
# ZRV_TEST_SANITIZERS=0 leaves out step 2; ZRV_FUZZ_SECONDS sets the time of step 3 (60 by
# default, 0 leaves it out).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" test
jobs="$(nproc)"

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && ctest --output-on-failure -j"$jobs" "$@")

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
    echo "== The settings fuzzer, ${fuzz_seconds} s"
    CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZRV_BUILD_FUZZ=ON \
        -DZRV_SANITIZE=ON -DZRV_BUILD_TESTS=OFF >/dev/null
    bash "$root/fuzz/run.sh" "$root/build-fuzz" "$fuzz_seconds"
fi
