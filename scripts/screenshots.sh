#!/usr/bin/env bash
# Takes the pictures of the user manuals from the real program, in Chinese and
# in English, against a simulated fleet under Xvfb, and writes them to
# docs/manual/<cn|en>/images/. The next build renders them into the manuals.
# Run it after scripts/build.sh; rerun it whenever a window changes. A picture
# of a window the program does not have (yet) is skipped with a note, and the
# manual is built without it.
# Loopback only: the fleet lives on 127.77.0.0/16 with a discovery port of its own.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$root/build}"
bin="$build/bin"
export CORVANE_LOOPBACK_ONLY=1
port="${CORVANE_SHOTS_PORT:-37977}"
ipc=12
nvr=4

for tool in corvane-screenshots corvane-devsim; do
    if [ ! -x "$bin/$tool" ]; then
        echo "screenshots.sh: $bin/$tool is missing; run scripts/build.sh first" >&2
        exit 1
    fi
done

# shellcheck source=SCRIPTDIR/simfleet.sh
source "$root/scripts/simfleet.sh"
sim_bin="$bin/corvane-devsim"
work="$(mktemp -d "${TMPDIR:-/tmp}/corvane-shots.XXXXXX")"
trap 'sim_stop; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

status=0
for lang in cn en; do
    # A fresh fleet per language: the pictures change addresses and logins.
    mkdir -p "$work/$lang"
    sim_start "$work/$lang/sim.log" --ipc "$ipc" --nvr "$nvr" --first 127.77.0.10 --port "$port" --seed 7

    echo "== $lang"
    # The program keeps its language file and work folders in its working directory.
    (cd "$work/$lang" && CORVANE_DISCOVERY_PORT="$port" QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$bin/corvane-screenshots" --lang "$lang" --out "$root/docs/manual/$lang/images" \
        --ipc "$ipc" --nvr "$nvr") || status=$?
    sim_stop
done
exit "$status"
