#!/bin/sh
# fuzz/run.sh SECONDS: builds the libFuzzer targets with clang and runs each
# for SECONDS (default 60), starting from fuzz/corpus/TARGET. The tree's
# corpus is only read; what the fuzzer adds goes to the build folder. Prints
# runs and coverage per target; exit status 1 when a target found anything
# (crash, leak, undefined behaviour, time-out), whose input is then named
# (make it a regression test under tests/). The one leak known to be Qt's
# own is suppressed in fuzz/lsan.supp, which says why.
set -eu

seconds=${1:-60}
case $seconds in
    ''|*[!0-9]*) echo "usage: fuzz/run.sh [SECONDS]" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=${STRATA_FUZZ_BUILD:-$root/build-fuzz}
targets="fuzz_codec fuzz_commands fuzz_service fuzz_manifest"

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz/run.sh: needs clang++ with libFuzzer (Debian: apt-get install clang)" >&2
    exit 2
fi
launcher=
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi
# shellcheck disable=SC2086
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DSTRATA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $targets >/dev/null

# UBSan would only print and go on; every report must stop the target.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# The sanitizers split their options at blanks and colons: quoted, the
# suppression file's path may hold either, as a checkout's path may.
export LSAN_OPTIONS="suppressions=\"$root/fuzz/lsan.supp\":print_suppressions=0"

found=0
printf '%-14s %12s %8s %8s %8s  %s\n' target runs cov features seconds findings
for t in $targets; do
    work=$build/fuzz/work/$t
    findings=$build/fuzz/findings
    log=$build/fuzz/$t.log
    mkdir -p "$work" "$findings"
    start=$(date +%s)
    status=0
    # Qt is built without frame pointers: only the slow unwinder records a
    # stack through Qt's JSON parser that the suppression can match.
    unwind=
    [ "$t" = fuzz_manifest ] && unwind=fast_unwind_on_malloc=0
    ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}$unwind \
    "$build/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 -max_len=1024 -timeout=10 \
        -artifact_prefix="$findings/$t-" "$work" "$root/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
    took=$(( $(date +%s) - start ))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)
    cov=$(printf '%s\n' "$last" | sed -n 's/.*cov: \([0-9]*\).*/\1/p')
    ft=$(printf '%s\n' "$last" | sed -n 's/.*ft: \([0-9]*\).*/\1/p')
    what=none
    # A report that did not end the target still counts.
    if [ "$status" -eq 0 ] && grep -qE '^SUMMARY: |runtime error: |^==[0-9]+== ?ERROR' "$log"; then
        status=1
    fi
    if [ "$status" -ne 0 ]; then
        found=1
        what=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
        what=${what:-"exit $status, see $log"}
    fi
    printf '%-14s %12s %8s %8s %8s  %s\n' "$t" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$took" "$what"
done
exit $found
