#!/usr/bin/env bash
# Builds everything and runs every test through CTest.
#   ./test.sh          all tests but the long ones, then the sanitizer builds
#   ./test.sh --long   everything
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-deps.sh
strata_ensure_deps "${strata_test_packages[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
ctest_filter=(-LE long)
[ "${1:-}" = "--long" ] && ctest_filter=()

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" "${ctest_filter[@]}"

# The codec, transport and registry again under AddressSanitizer and UBSan,
# and the threaded tests under ThreadSanitizer: only the tests labelled for it.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSTRATA_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs" -L asan

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DSTRATA_SANITIZE=thread >/dev/null
cmake --build build-tsan -j"$jobs"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir build-tsan --output-on-failure -j"$jobs" -L tsan
