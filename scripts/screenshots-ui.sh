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

# shellcheck source=SCRIPTDIR/simfleet.sh
source "$root/scripts/simfleet.sh"
sim_log="$(mktemp "${TMPDIR:-/tmp}/corvane-shots.XXXXXX")"
trap 'sim_stop; rm -f "$sim_log"' EXIT
sim_start "$sim_log" --ipc "$ipc" --nvr "$nvr" --first 127.31.0.10 --port "$CORVANE_DISCOVERY_PORT" --seed 31

for lang in zh en; do
    rm -rf "${out:?}/$lang"
    ./corvane_uishots "$out/$lang" "$lang" $(( ipc + nvr ))
done
echo "Screenshots written to $out"
