#!/usr/bin/env bash
# Builds the panel and starts it.
# - With no Strata unit attached it starts on the simulated Strata 96 and
#   says so.
# - With no display at all it says so and shows the unit's meters on the
#   terminal instead (stratactl meters --watch).
# Arguments are handed on (for example --simulate "Strata 10").
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-deps.sh
strata_ensure_deps

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

ctl=build/tools/stratactl
panel=build/ui/strata-panel

args=("$@")
if [ ${#args[@]} -eq 0 ] && ! "$ctl" list --quiet >/dev/null 2>&1; then
    echo "No Strata unit is connected: running on the simulated Strata 96."
    args=(--simulate "Strata 96")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): showing the meters on the terminal with stratactl instead. Ctrl+C ends it."
    exec "$ctl" "${args[@]}" meters --watch
fi

exec "$panel" "${args[@]}"
