#!/usr/bin/env bash
# Pictures of the main window and every dialog at 150 % in Chinese and English,
# written to docs/screenshots/{zh,en}/. The main window shows a simulated fleet on
# 127.31.0.0/16 (discovery port 39631); nothing leaves the loopback interface.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$root/build}"
out="$root/docs/screenshots"
export CORVANE_LOOPBACK_ONLY=1
export CORVANE_DISCOVERY_PORT=39631
export QT_QPA_PLATFORM=offscreen
export QT_SCALE_FACTOR=1.5
ipc=6
nvr=2

cmake --build "$build" --target corvane_uishots corvane-devsim translations
cd "$build/bin"

sim_log="$(mktemp "${TMPDIR:-/tmp}/corvane-shots.XXXXXX")"
./corvane-devsim --ipc "$ipc" --nvr "$nvr" --first 127.31.0.10 --port "$CORVANE_DISCOVERY_PORT" --seed 31 > "$sim_log" 2>&1 &
sim_pid=$!
stop_sim() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    rm -f "$sim_log"
}
trap stop_sim EXIT
for _ in $(seq 1 100); do
    grep -qx ready "$sim_log" && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "screenshots-ui.sh: the simulator did not start" >&2; cat "$sim_log" >&2; exit 1; }
    sleep 0.1
done

for lang in zh en; do
    rm -rf "${out:?}/$lang"
    ./corvane_uishots "$out/$lang" "$lang" $(( ipc + nvr ))
done
echo "Screenshots written to $out"
