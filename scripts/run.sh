#!/usr/bin/env bash
# Installs what is missing, builds Zerlivan and starts it.  The settings file "zrv.opt" is read
# from and written to the directory you start it in.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" run
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target zerlivan -j"$(nproc)"
exec "$root/build/src/app/zerlivan" "$@"
