#!/bin/sh
# ctest entry for the independent ONVIF clients: run.sh SCRIPT.js SIMULATOR
# Exit code 77 (skipped) when node is missing, a failure under CI=true.
set -eu
if ! command -v node >/dev/null 2>&1; then
    echo "SKIP: node is not installed (scripts/install-deps.sh installs it)" >&2
    [ "${CI:-}" = "true" ] && exit 1
    exit 77
fi
here=$(dirname "$0")
exec sh "$here/netns.sh" node "$here/$1" "$2"
