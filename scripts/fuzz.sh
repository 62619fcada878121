#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ (or $CORVANE_FUZZ_BUILD_DIR)
# and runs each for a number of executions, starting from its seed corpus.
#   scripts/fuzz.sh [executions] [target...]      default: 1000000, every target
# A crash, a sanitizer report or a failed check stops that target and leaves
# the input under <build>/findings/<target>/; the script then fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_FUZZ_BUILD_DIR:-$root/build-fuzz}"
runs="${1:-1000000}"
shift || true
all=(fuzz_discovery fuzz_firmware fuzz_config_import fuzz_sim_ipc fuzz_sim_nvr fuzz_sim_onvif fuzz_client_frames fuzz_media_answers fuzz_onvif_client)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

export CORVANE_LOOPBACK_ONLY=1
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCORVANE_FUZZ=ON -DCORVANE_SANITIZE=ON \
    -DCORVANE_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "${targets[@]}"

# Static objects of the harnesses live until exit on purpose.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    mkdir -p "$corpus" "$findings"
    log="$build/findings/$target.log"
    echo "== $target: $runs executions"
    if "$build/bin/$target" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1; then
        grep -E "^stat::number_of_executed_units|^Done" "$log" || true
    else
        echo "!! $target found something; see $log and $findings/"
        tail -n 30 "$log"
        failed=1
    fi
done
exit $failed
