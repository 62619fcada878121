#!/usr/bin/env bash
# Runs every benchmark and prints one table of what they observed against
# the targets. Usage: bench/run_all.sh [build-dir]   (default: build)
# Each benchmark's own output is kept in $CORVANE_BENCH_LOGS (default: a
# temporary folder, named at the end).
#
# Discovery runs without privileges: as user nobody with every capability
# dropped (setpriv), so the answer sockets get at most net.core.rmem_max and
# SO_RCVBUFFORCE is refused. When this machine's rmem_max is above the stock
# kernel's 212992 bytes, the library is also told to ask for no more than
# that (CORVANE_DISCOVERY_RCVBUF), which gives its sockets exactly the buffer
# a stock system grants. The table shows the buffer the kernel granted.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
bin="$build/bin"
logs="${CORVANE_BENCH_LOGS:-$(mktemp -d /tmp/corvane-bench.XXXXXX)}"
mkdir -p "$logs"
chmod 755 "$logs"
export CORVANE_LOOPBACK_ONLY=1
# shellcheck source=SCRIPTDIR/../scripts/simfleet.sh
source "$root/scripts/simfleet.sh"
sim_bin="$bin/corvane-devsim"

for program in bench_discovery bench_capacity bench_devtable bench_login bench_cli bench_mediaview corvane corvane-cli corvane-devsim; do
    if [[ ! -x "$bin/$program" ]]; then
        echo "run_all.sh: $bin/$program is missing; build first (scripts/build.sh)" >&2
        exit 1
    fi
done

stock_rmem_max=212992
rmem_max=$(cat /proc/sys/net/core/rmem_max)
discovery_env=(CORVANE_LOOPBACK_ONLY=1)
if (( rmem_max > stock_rmem_max )); then
    discovery_env+=(CORVANE_DISCOVERY_RCVBUF=$stock_rmem_max)
fi
if [[ $(id -u) == 0 ]]; then
    unprivileged=(setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all --bounding-set=-all)
    how="as nobody via setpriv, all capabilities dropped"
else
    unprivileged=()
    how="as $(id -un), not root"
fi
if (( rmem_max > stock_rmem_max )); then
    how="$how; rmem_max here is $rmem_max, so the library asks for $stock_rmem_max (the stock cap)"
fi

run() { # name command...
    local name=$1
    shift
    echo "== $name" >&2
    if ! "$@" >"$logs/$name.txt" 2>"$logs/$name.err"; then
        echo "run_all.sh: $name failed (see $logs/$name.err)" >&2
    fi
    cat "$logs/$name.txt" >&2
}

# The device tab makes its working folders (log/, DiagnoseInfo/) where it runs.
cd "$logs"
# The discovery bench writes nothing; it runs from a folder nobody may enter.
(cd /tmp && run bench_discovery env "${discovery_env[@]}" "${unprivileged[@]}" "$bin/bench_discovery")
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
run bench_capacity env QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$bin/bench_capacity"
run bench_devtable_xcb env QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$bin/bench_devtable"
run bench_devtable_offscreen env QT_QPA_PLATFORM=offscreen "$bin/bench_devtable"
run bench_login "$bin/bench_login"
run bench_cli env QT_QPA_PLATFORM=offscreen "$bin/bench_cli"
run bench_mediaview env QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$bin/bench_mediaview"

# Peak memory of the program itself on a real (virtual) display, with 1024
# simulated devices found by its first search.
memory_run() {
    local work
    work=$(mktemp -d /tmp/corvane-mem.XXXXXX)
    local port=37853
    sim_start "$work/sim.txt" --ipc 717 --nvr 307 --first 127.97.0.10 --port $port || return 1
    cat >"$work/measure.sh" <<'EOF'
cd "$1"
CORVANE_DISCOVERY_PORT=$2 QT_LOGGING_RULES="corvane.devmanage.debug=true" QT_QPA_PLATFORM=xcb \
    "$3/corvane" 2>"$1/corvane.err" &
pid=$!
for _ in $(seq 300); do
    grep -q 'search merged: 1024 devices listed' "$1/corvane.err" 2>/dev/null && break
    sleep 0.1
done
listed=$(grep -o 'search merged: [0-9]* devices listed' "$1/corvane.err" | tail -1 | grep -o '[0-9][0-9]*')
sleep 2 # the table's first paint after the merge
hwm=$(awk '/^VmHWM:/ {print $2}' /proc/$pid/status)
echo "RESULT|program under Xvfb, ${listed:-0} devices listed: peak RSS (MB)|$((hwm / 1024))|$((hwm / 1024))|$((hwm / 1024))|MB"
kill $pid
wait $pid 2>/dev/null || true
EOF
    "${xvfb[@]}" bash "$work/measure.sh" "$work" $port "$bin"
    sim_stop
    rm -rf "$work"
}
run memory memory_run

# One table: every RESULT line with its target.
target_of() {
    case "$1" in
    *"found within"*) echo "all, every run" ;;
    "capacity: control-click"*) echo "< 20 ms" ;;
    "capacity: recomputations"*) echo "1 per click" ;;
    "login worker"*) echo "<= 3 x" ;;
    "device table"*) echo "< 16 ms" ;;
    "program under Xvfb"*) echo "< 100 MB" ;;
    "cli: discover"*"start to exit"*) echo "< 1000 ms" ;;
    "cli: set-address"*"start to exit"*) echo "< 3000 ms" ;;
    "cli: "*) echo "all, every run" ;;
    "media view: page opening"*) echo "< 1000 ms" ;;
    "media view: send to paint"*) echo "p95 < 150 ms" ;;
    "media view: fps painted"*) echo "25 fps" ;;
    "media view: RSS change"*) echo "within 5 %" ;;
    *) echo "-" ;;
    esac
}
verdict() { # key min median max unit
    local key=$1 min=$2 median=$3 max=$4 unit=$5
    case "$key" in
    *"found within"*) [[ "$min" == "${unit#of }" ]] && echo yes || echo NO ;;
    "capacity: control-click"* | "device table"*) awk -v m="$median" -v x="$max" -v t="$([[ $key == capacity* ]] && echo 20 || echo 16)" \
        'BEGIN { if (x < t) print "yes"; else if (m < t) print "median only"; else print "NO" }' ;;
    "capacity: recomputations"*) [[ "$max" == 1 ]] && echo yes || echo NO ;;
    "login worker"*) awk -v m="$median" -v x="$max" 'BEGIN { if (x <= 3) print "yes"; else if (m <= 3) print "median only"; else print "NO" }' ;;
    "program under Xvfb"*) (( max < 100 )) && echo yes || echo NO ;;
    "cli: discover"*"start to exit"*) (( max < 1000 )) && echo yes || echo NO ;;
    "cli: set-address"*"start to exit"*) (( max < 3000 )) && echo yes || echo NO ;;
    "cli: "*) [[ "$min" == "${unit#of }" ]] && echo yes || echo NO ;;
    "media view: page opening"* | "media view: send to paint"*)
        awk -v m="$median" -v x="$max" -v t="$([[ $key == *opening* ]] && echo 1000 || echo 150)" \
            'BEGIN { if (x < t) print "yes"; else if (m < t) print "median only"; else print "NO" }' ;;
    "media view: fps painted"*) awk -v n="$min" -v m="$median" \
        'BEGIN { if (n >= 24.5) print "yes"; else if (m >= 24.5) print "median only"; else print "NO" }' ;;
    "media view: RSS change"*) awk -v x="$max" 'BEGIN { print (x <= 5 && x >= -5) ? "yes" : "NO" }' ;;
    *) echo "-" ;;
    esac
}

echo
echo "Corvane benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Discovery measured $how."
printf '%-62s %-28s %-16s %s\n' "measurement" "min / median / max" "target" "met"
cat "$logs"/*.txt | grep '^RESULT|' | while IFS='|' read -r _ key min median max unit; do
    printf '%-62s %-28s %-16s %s\n' "$key" "$min / $median / $max $unit" "$(target_of "$key")" \
        "$(verdict "$key" "$min" "$median" "$max" "$unit")"
done
echo "(details: $logs)"
