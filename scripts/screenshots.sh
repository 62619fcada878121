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

work="$(mktemp -d "${TMPDIR:-/tmp}/corvane-shots.XXXXXX")"
sim_pid=""
stop_sim() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
        sim_pid=""
    fi
}
cleanup() {
    stop_sim
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

status=0
for lang in cn en; do
    # A fresh fleet per language: the pictures change addresses and logins.
    mkdir -p "$work/$lang"
    "$bin/corvane-devsim" --ipc "$ipc" --nvr "$nvr" --first 127.77.0.10 --port "$port" --seed 7 \
        > "$work/$lang/sim.log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 1 100); do
        grep -qx ready "$work/$lang/sim.log" && break
        if ! kill -0 "$sim_pid" 2>/dev/null; then
            echo "screenshots.sh: the simulator did not start:" >&2
            cat "$work/$lang/sim.log" >&2
            exit 1
        fi
        sleep 0.1
    done

    echo "== $lang"
    # The program keeps its language file and work folders in its working directory.
    (cd "$work/$lang" && CORVANE_DISCOVERY_PORT="$port" QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$bin/corvane-screenshots" --lang "$lang" --out "$root/docs/manual/$lang/images" \
        --ipc "$ipc" --nvr "$nvr") || status=$?
    stop_sim
done
exit "$status"
