#!/usr/bin/env bash
# CPU use of kova-config watch polling the demo's simulated module (Modbus TCP
# on loopback, the scale and the scanner fed) ten times a second: the goal is
# under 2% of a core.
set -eu
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/kova-bench-watch.XXXXXX)
sim=
watch=
cleanup() {
    for pid in $watch $sim; do
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
"$build/kova-sample-config" "$work/PLANT.KOV"
"$build/kova-sim" --tcp 127.0.0.1:0 --config "$work/PLANT.KOV" \
    --feed "2=$here/../scripts/demo-devices/scale.txt@1000" \
    --feed "1=$here/../scripts/demo-devices/scanner.txt@4000" > "$work/sim" &
sim=$!
for _ in $(seq 100); do [ "$(wc -l < "$work/sim")" -ge 2 ] && break; sleep 0.05; done
port=$(sed -n 2p "$work/sim")
"$build/kova-config" --type tcp --host 127.0.0.1 --tcp-port "$port" --interval 100 watch \
    > "$work/out" &
watch=$!
sleep 1  # past the first configuration read
seconds=10
ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$watch/stat"; }
before=$(cpu)
sleep "$seconds"  # the measurement window, not a synchronisation
after=$(cpu)
awk -v used=$((after - before)) -v tck="$ticks" -v s="$seconds" -v lines="$(wc -l < "$work/out")" 'BEGIN {
    ms = 1000 * used / tck
    printf "kova-config watch, 10 polls/s: %.0f ms CPU in %d s (%.2f%% of a core; goal under 2%%), %d lines\n", ms, s, ms / (10 * s), lines
}'
