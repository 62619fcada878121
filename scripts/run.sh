#!/usr/bin/env bash
# Starts Corvane from the build folder (it finds lang/ relative to its working directory),
# with the device simulator beside it so that the first search finds a fleet:
# 12 IPC and 4 NVR devices from 127.0.0.10, loopback only. The simulator stops when
# Corvane exits. CORVANE_SIMULATOR=0 starts Corvane alone; CORVANE_SIM_ARGS replaces the
# fleet options (see ./corvane-devsim --help).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$root/build}"
export CORVANE_LOOPBACK_ONLY="${CORVANE_LOOPBACK_ONLY:-1}"
cd "$build/bin"

if [ "${CORVANE_SIMULATOR:-1}" = "0" ] || [ ! -x ./corvane-devsim ]; then
    exec ./corvane "$@"
fi

sim_log="$(mktemp "${TMPDIR:-/tmp}/corvane-devsim.XXXXXX")"
read -r -a sim_args <<< "${CORVANE_SIM_ARGS:---ipc 12 --nvr 4 --first 127.0.0.10}"
./corvane-devsim "${sim_args[@]}" > "$sim_log" 2>&1 &
sim_pid=$!
stop_sim() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    rm -f "$sim_log"
}
trap stop_sim EXIT
trap 'exit 130' INT TERM

# Corvane searches half a second after start: let the fleet come up first.
for _ in $(seq 1 100); do
    grep -qx ready "$sim_log" && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "run.sh: the simulator did not start:" >&2
        cat "$sim_log" >&2
        break
    fi
    sleep 0.1
done

status=0
./corvane "$@" || status=$?
exit "$status"
