#!/usr/bin/env bash
# Starts Corvane from the build folder (it finds lang/ relative to its working directory).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$root/build}"
export CORVANE_LOOPBACK_ONLY="${CORVANE_LOOPBACK_ONLY:-1}"
cd "$build/bin"
exec ./corvane "$@"
