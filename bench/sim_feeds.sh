#!/usr/bin/env bash
# CPU use of the simulated module with two devices fed at a line a second
# (the demo's scale and scanner files), serving Modbus TCP on loopback with
# no client: the goal is under 1% of a core.
set -eu
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/kova-bench-sim.XXXXXX)
sim=
cleanup() {
    [ -n "$sim" ] && kill -TERM "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
"$build/kova-sample-config" "$work/PLANT.KOV"
"$build/kova-sim" --tcp 127.0.0.1:0 --config "$work/PLANT.KOV" \
    --feed "2=$here/../scripts/demo-devices/scale.txt@1000" \
    --feed "1=$here/../scripts/demo-devices/scanner.txt@1000" > "$work/out" &
sim=$!
for _ in $(seq 100); do [ -s "$work/out" ] && break; sleep 0.05; done
seconds=10
ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$sim/stat"; }
before=$(cpu)
sleep "$seconds"  # the measurement window, not a synchronisation
after=$(cpu)
awk -v used=$((after - before)) -v tck="$ticks" -v s="$seconds" 'BEGIN {
    ms = 1000 * used / tck
    printf "kova-sim, two feeds at 1 line/s, idle: %.0f ms CPU in %d s (%.2f%% of a core; goal under 1%%)\n", ms, s, ms / (10 * s)
}'
