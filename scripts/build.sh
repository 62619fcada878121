#!/usr/bin/env bash
# Configures and builds Corvane into build/ (or $CORVANE_BUILD_DIR).
# Extra arguments go to cmake's configure step, e.g. -DCORVANE_SANITIZE=ON.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja "$@"
cmake --build "$build" -j "$(nproc)"
