#!/usr/bin/env bash
# Starts Corvane from the build folder (it finds lang/ relative to its working directory),
# with the device simulator beside it so that the first search finds a fleet:
# 12 IPC and 4 NVR devices of our own protocol and 4 ONVIF cameras, from 127.0.0.10 to
# 127.0.0.29, loopback only. The simulator stops when
# Corvane exits; TERM, INT or HUP to this script stops both. CORVANE_SIMULATOR=0 starts Corvane alone; CORVANE_SIM_ARGS replaces the
# fleet options (see ./corvane-devsim --help).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$root/build}"
export CORVANE_LOOPBACK_ONLY="${CORVANE_LOOPBACK_ONLY:-1}"
cd "$build/bin"

if [ "${CORVANE_SIMULATOR:-1}" = "0" ] || [ ! -x ./corvane-devsim ]; then
    exec ./corvane "$@"
fi

# shellcheck source=SCRIPTDIR/simfleet.sh
source "$root/scripts/simfleet.sh"
sim_log="$(mktemp "${TMPDIR:-/tmp}/corvane-devsim.XXXXXX")"
corvane_pid=""
# shellcheck disable=SC2317 # run by the traps
stop_all() {
    if [ -n "$corvane_pid" ]; then
        kill "$corvane_pid" 2>/dev/null || true
        wait "$corvane_pid" 2>/dev/null || true
        corvane_pid=""
    fi
    sim_stop
    rm -f "$sim_log"
}
trap stop_all EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
read -r -a sim_args <<< "${CORVANE_SIM_ARGS:---ipc 12 --nvr 4 --onvif 4 --first 127.0.0.10}"
# Corvane searches half a second after start: let the fleet come up first.
# Without it Corvane still starts, with an empty list.
sim_start "$sim_log" "${sim_args[@]}" || true

# In the background: bash runs a trap only after its foreground child has ended,
# while a wait returns at once. <&0 keeps the terminal's input.
./corvane "$@" <&0 &
corvane_pid=$!
status=0
wait "$corvane_pid" || status=$?
corvane_pid=""
exit "$status"
