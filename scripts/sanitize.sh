#!/usr/bin/env bash
# Runs the whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/), then the device-library tests under ThreadSanitizer
# (build-tsan/; Qt is not built for it, so only Qt's own internals are
# suppressed, see tests/tsan.supp). Extra arguments go to both ctest runs,
# e.g. -R tst_frame.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
asan="${CORVANE_ASAN_BUILD_DIR:-$root/build-asan}"
tsan="${CORVANE_TSAN_BUILD_DIR:-$root/build-tsan}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
export CORVANE_LOOPBACK_ONLY=1
export QT_QPA_PLATFORM=offscreen
# A device test that cannot reach its simulator or addresses fails instead of
# skipping, as in scripts/test.sh.
export CORVANE_FAIL_SKIPS=1

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$asan" -G Ninja -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$asan"
# Every sanitized process writes its reports here, also the simulators and
# command-line runs a test starts, whose exit codes no test looks at.
reports="$asan/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
(
    cd "$asan"
    ASAN_OPTIONS="${ASAN_OPTIONS:-detect_stack_use_after_return=1:strict_init_order=1}:log_path=$reports/report:log_exe_name=1" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@"
) | tee "$log" || status=1
# Files holding only the list of suppressed leaks are no finding.
for report in "$reports"/report.*; do
    grep -qE 'ERROR: |runtime error: ' "$report" 2>/dev/null || continue
    echo "sanitize.sh: sanitizer report $report:" >&2
    cat "$report" >&2
    status=1
done
# ctest itself passes a test it did not run.
if grep -Eq '\*\*\*Not Run|\*\*\*Skipped' "$log"; then
    echo "sanitize.sh: some tests did not run" >&2
    status=1
fi
[ "$status" -eq 0 ] || exit "$status"

# The device libraries, their shared code and the simulator, with their tests.
device_tests='^tst_(frame|discoverysim|discoverysecurity|sessionsecurity|zelt_.*|tolan_.*)$'
flags="-fsanitize=thread -fno-omit-frame-pointer -g"
cmake -S "$root" -B "$tsan" -G Ninja -DCORVANE_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
    -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread >/dev/null
targets=(corvane-devsim)
for src in "$root"/tests/tst_*.cpp; do
    name="$(basename "$src" .cpp)"
    [[ "$name" =~ $device_tests ]] && targets+=("$name")
done
cmake --build "$tsan" --target "${targets[@]}"
(
    cd "$tsan"
    TSAN_OPTIONS="suppressions=$root/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1" \
        ctest --output-on-failure -R "$device_tests" "$@"
)
