#!/usr/bin/env bash
# scripts/coverage.sh: builds with --coverage in build-coverage/ (or
# $STRATA_COVERAGE_BUILD), runs every test but the long ones, and prints the
# line, function and branch coverage of the product code, one line each.
# Tests, benchmarks, fuzz targets and generated files (moc, uic, rcc, the
# configured header, all in the build folder) are left out of the figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/ensure-deps.sh"
strata_ensure_deps "${strata_test_packages[@]}" gcovr

build=${STRATA_COVERAGE_BUILD:-$root/build-coverage}
# A ccache base dir makes ccache write relative source paths into the .gcno
# files, which gcovr cannot resolve from the build folder: figures of 0 of 0.
unset CCACHE_BASEDIR
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" \
    -DCMAKE_C_FLAGS=--coverage -DCMAKE_CXX_FLAGS=--coverage \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

# Counters add up over runs: start from zero so the figures are this run's.
find "$build" -name '*.gcda' -delete
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -LE long -j"$(nproc)" --output-on-failure >"$build/coverage-ctest.log" \
    || { tail -n 40 "$build/coverage-ctest.log"; echo "coverage.sh: tests failed, see $build/coverage-ctest.log" >&2; exit 1; }

# Branches the compiler adds for exceptions and for its own bookkeeping are
# not decisions of the code, so they are not counted.
cd "$root"
# Only this build's data: another coverage build left in the tree would
# otherwise be merged in.
gcovr "$build" --root "$root" --object-directory "$build" \
    --filter "$root/" \
    --exclude "$root/tests/" --exclude "$root/bench/" --exclude "$root/fuzz/" --exclude "$build/" \
    --exclude-unreachable-branches --exclude-throw-branches \
    --print-summary --output /dev/null 2>"$build/gcovr.log" \
    | sed -n 's/^\(lines\|functions\|branches\): /\1: /p' | tee "$build/coverage-summary.txt"
if grep -q '(0 out of 0)' "$build/coverage-summary.txt"; then
    echo "coverage.sh: gcovr found no coverage data, see $build/gcovr.log" >&2
    exit 1
fi
