#!/usr/bin/env bash
# Builds Corvane and runs the whole test suite. Every test talks to loopback
# only; GUI tests run offscreen, the few that need a real window under Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$@"
build="${CORVANE_BUILD_DIR:-$root/build}"
export CORVANE_LOOPBACK_ONLY=1
export QT_QPA_PLATFORM=offscreen
cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure
