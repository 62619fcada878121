# shellcheck shell=bash
# Sourced by the scripts that run corvane-devsim beside another program.
#
# sim_start LOG ARGS...  starts the simulator ($sim_bin, by default
#                        ./corvane-devsim) in the background with ARGS, its
#                        output in LOG, and waits up to 60 s for its "ready"
#                        line. Returns 1, after printing LOG, when it ended or
#                        never became ready.
# sim_stop               stops it; safe to call twice.
sim_pid=""

sim_start() {
    local log=$1
    shift
    "${sim_bin:-./corvane-devsim}" "$@" >"$log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 600); do
        grep -qx ready "$log" && return 0
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "$(basename "$0"): the simulator did not start:" >&2
    cat "$log" >&2
    return 1
}

sim_stop() {
    [ -n "$sim_pid" ] || return 0
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=""
}
