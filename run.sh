#!/usr/bin/env bash
# Builds the panel and starts it. With no unit attached it starts on the
# simulated Strata 96 and says so.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-deps.sh
strata_ensure_deps

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

ctl=build/tools/stratactl
sim_args=()
if ! "$ctl" list --quiet >/dev/null 2>&1; then
    echo "No Strata unit is connected: running on the simulated Strata 96."
    sim_args=(--simulate "Strata 96")
fi
"$ctl" "${sim_args[@]}" info
"$ctl" "${sim_args[@]}" meters --watch --count 30
