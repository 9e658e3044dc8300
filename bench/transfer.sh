#!/usr/bin/env bash
# Whole-module transfers through the transfer layer (kova-transfer-bench): all
# four ports with their poll queries, the PLUS test before each port, the rack
# base and the Print/Prog baud rate, fetched and sent, printed as ratios:
#  1. Sy/Max at 9600 baud 8E1 against the simulated module pacing the line:
#     the time against the wire time of every character both ways, as the
#     simulator counted them (goal: at most 1.10 x).
#  2. Modbus TCP on loopback: TIMES (default 20) transfers in a row against
#     kova-link replaying the same requests (the simulator's request log) in
#     the same run, best of ROUNDS rounds (default 3) as the machine is shared
#     (goal: at most 1.3 x).
# usage: bench/transfer.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
tmp=$(mktemp -d /tmp/kova-bench-transfer-XXXXXX)
sim=
cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

seconds_of() { sed -n 's/.* in \([0-9.]*\) s.*/\1/p'; }
stop_sim() { kill "$sim"; wait "$sim" 2>/dev/null || true; sim=; }

"$build/kova-sample-config" "$tmp/PLANT.KOV"

echo "== Whole module over Sy/Max at 9600 baud 8E1, paced by the simulated module"
for mode in fetch send; do
  out_file="$tmp/sim-$mode.out"  # a file of its own: the shell truncates it in the background
  "$build/kova-sim" --pty --pace --baud 9600 --parity even --config "$tmp/PLANT.KOV" \
    --count-bytes > "$out_file" & sim=$!
  until [ -s "$out_file" ]; do sleep 0.01; done
  port=$(head -1 "$out_file")
  out=$("$build/kova-transfer-bench" "$mode" 1 "$tmp/PLANT.KOV" symax "$port" 9600 even)
  stop_sim
  chars=$(sed -n 's/^received \([0-9]*\) sent \([0-9]*\)$/\1 \2/p' "$out_file")
  took=$(echo "$out" | seconds_of)
  awk -v m="$mode" -v t="$took" -v c="$chars" 'BEGIN {
    split(c, n, " "); total = n[1] + n[2]; w = total * 11 / 9600
    printf "%-5s %6d chars (%d in, %d out), wire %.3f s, took %.3f s: %.3f x the wire time (goal: at most 1.10 x)\n",
      m, total, n[1], n[2], w, t, t / w }'
done

echo
echo "== Whole module over Modbus TCP on loopback, against kova-link making the same requests"
tcp_runs=0
start_tcp_sim() {  # extra options
  tcp_runs=$((tcp_runs + 1))
  local out_file="$tmp/tcp-$tcp_runs.out"
  "$build/kova-sim" --protocol tcp --listen 127.0.0.1:0 --config "$tmp/PLANT.KOV" "$@" \
    > "$out_file" & sim=$!
  until [ "$(wc -l < "$out_file" 2>/dev/null || echo 0)" -ge 2 ]; do sleep 0.01; done
  tcp_port=$(sed -n 2p "$out_file")
}
rounds=${ROUNDS:-3}
times=${TIMES:-20}
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
for mode in fetch send; do
  best_ours=; best_link=
  for round in $(seq "$rounds"); do
    start_tcp_sim --log "$tmp/requests-$mode"
    ours=$("$build/kova-transfer-bench" "$mode" "$times" "$tmp/PLANT.KOV" tcp 127.0.0.1 "$tcp_port")
    stop_sim
    # The same simulator work on both sides: it logs kova-link's requests too.
    start_tcp_sim --log "$tmp/replayed-$mode"
    theirs=$("$build/kova-link" --type tcp --host 127.0.0.1 --tcp-port "$tcp_port" \
      replay "$tmp/requests-$mode")
    stop_sim
    echo "$mode round $round: $ours; kova-link: $theirs"
    best_ours=$(best "$best_ours" "$(echo "$ours" | seconds_of)")
    best_link=$(best "$best_link" "$(echo "$theirs" | seconds_of)")
  done
  awk -v m="$mode" -v a="$best_ours" -v b="$best_link" -v n="$(wc -l < "$tmp/requests-$mode")" 'BEGIN {
    printf "%-5s best, %d requests: transfer %.4f s, kova-link %.4f s: %.2f x (goal: at most 1.3 x)\n",
      m, n, a, b, a / b }'
done
