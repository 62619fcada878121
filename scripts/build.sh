#!/usr/bin/env bash
# Configures and builds Corvane into build/ (or $CORVANE_BUILD_DIR).
# Extra arguments go to cmake's configure step, e.g. -DCORVANE_SANITIZE=ON.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$root/build}"
# Let ccache share objects between checkouts in different folders.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake -S "$root" -B "$build" -G Ninja "$@"
cmake --build "$build" -j "$(nproc)"
