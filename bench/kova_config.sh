#!/usr/bin/env bash
# kova-config benchmarks over Modbus TCP on loopback, printed as ratios:
#  1. backup of 8 simulated modules with --jobs 8 against the fetch of one
#     module alone (goal: within 2 x; the fetches overlap, the 2-core machine
#     bounds them).
#  2. one whole-module fetch against kova-link making the same number of
#     requests of the same sizes (goal: within 1.3 x). Both are whole runs of
#     the programs, opening the link included.
#  3. the comparison backup --history makes for each module (the latest file
#     read, decoded and compared field by field), for the 8 modules one after
#     the other, against the backup of 8 (goal: under 10%); the whole
#     --history run when nothing changed is shown beside the plain one.
#  4. send --verify (the send, then everything read back and compared) against
#     a fetch plus a plain send, each a whole run of kova-config (goal: within
#     1.05 x): over Modbus TCP on loopback, and once over Modbus RTU on a pty
#     paced at 9600 baud, where the wire sets the time (about 40 s).
# Each figure is the best of ROUNDS rounds (default 5), as the machine is shared.
# usage: bench/kova_config.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
tmp=$(mktemp -d /tmp/kova-bench-config-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT
rounds=${ROUNDS:-5}

# Simulated PLUS modules whose PLUS test register is already set, so that the
# test is the one read the sections below count.
ports=()
for i in $(seq 8); do
  "$build/kova-sim" --protocol tcp --listen 127.0.0.1:0 --set 7423=1 > "$tmp/sim$i.out" & pids+=($!)
done
for i in $(seq 8); do
  until [ "$(wc -l < "$tmp/sim$i.out")" -ge 2 ]; do sleep 0.01; done
  ports+=("$(sed -n 2p "$tmp/sim$i.out")")
  echo "m$i --type tcp --host 127.0.0.1 --tcp-port ${ports[$((i - 1))]}" >> "$tmp/eight.list"
done
link=(--type tcp --host 127.0.0.1 --tcp-port "${ports[0]}")

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.4f", b - a }'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# The requests of a whole-module fetch, in order: the identification block,
# the PLUS test; for each port the PLUS test, comms, accept and terminate
# sets, pattern, mask and numbers of four paths, the poll interval, sixteen
# poll queries and the three PLUS values; then the Print/Prog baud and the
# rack base.
port_sections="1,5,16,16,33,33,4,33,33,4,33,33,4,33,33,4,2$(printf ',32%.0s' $(seq 16)),1,1,1"
sections="13,1,$port_sections,$port_sections,$port_sections,$port_sections,1,1"
requests=$(echo "$sections" | tr ',' '\n' | wc -l)

echo "== backup of 8 modules with --jobs 8 against one fetch, Modbus TCP on loopback"
best_one=; best_eight=
for round in $(seq "$rounds"); do
  start=$(now)
  "$build/kova-config" -q "${link[@]}" --force fetch "$tmp/one.KOV"
  one=$(elapsed "$start")
  start=$(now)
  "$build/kova-config" -q --jobs 8 --force backup "$tmp/eight.list" "$tmp/out" > "$tmp/summary"
  eight=$(elapsed "$start")
  echo "round $round: one fetch $one s, backup of 8 $eight s"
  best_one=$(best "$best_one" "$one"); best_eight=$(best "$best_eight" "$eight")
done
cat "$tmp/summary"
awk -v a="$best_eight" -v b="$best_one" 'BEGIN {
  printf "best: one fetch %.3f s, backup of 8 %.3f s\n", b, a
  printf "ratio backup of 8 / one fetch: %.2f x (goal: at most 2 x)\n", a / b }'

echo
echo "== whole-module fetch against kova-link, $requests requests of the same sizes"
best_fetch=; best_link=
for round in $(seq "$rounds"); do
  start=$(now)
  "$build/kova-config" -q "${link[@]}" --force fetch "$tmp/one.KOV"
  fetch=$(elapsed "$start")
  start=$(now)
  inner=$("$build/kova-link" "${link[@]}" sections 8176 "$sections")
  plain=$(elapsed "$start")
  echo "round $round: kova-config fetch $fetch s, kova-link $plain s ($inner)"
  best_fetch=$(best "$best_fetch" "$fetch"); best_link=$(best "$best_link" "$plain")
done
awk -v a="$best_fetch" -v b="$best_link" 'BEGIN {
  printf "best: kova-config fetch %.4f s, kova-link %.4f s\n", a, b
  printf "ratio fetch / kova-link: %.2f x (goal: at most 1.3 x)\n", a / b }'

echo
echo "== backup --history of 8 modules: the comparison against the backup"
"$build/kova-config" -q --jobs 8 --history backup "$tmp/eight.list" "$tmp/hist" > /dev/null
best_compare=; best_history=; best_plain=
for round in $(seq "$rounds"); do
  compare=$("$build/kova-history-bench" "$tmp/hist" 50 | awk '{ print $(NF - 3) }')
  start=$(now)
  "$build/kova-config" -q --jobs 8 --history backup "$tmp/eight.list" "$tmp/hist" > "$tmp/summary"
  history=$(elapsed "$start")
  start=$(now)
  "$build/kova-config" -q --jobs 8 --force backup "$tmp/eight.list" "$tmp/out" > /dev/null
  plain=$(elapsed "$start")
  echo "round $round: comparison of 8 $compare s, backup --history of 8 $history s, backup --force of 8 $plain s"
  best_compare=$(best "$best_compare" "$compare"); best_history=$(best "$best_history" "$history")
  best_plain=$(best "$best_plain" "$plain")
done
grep -c ' unchanged ' "$tmp/summary" | awk '{ print $1 " of 8 modules unchanged in the last --history run" }'
awk -v c="$best_compare" -v h="$best_history" -v p="$best_plain" 'BEGIN {
  printf "best: comparison of 8 %.6f s, backup --history of 8 %.4f s, backup --force of 8 %.4f s\n", c, h, p
  printf "comparison / backup of 8: %.2f%% (goal: under 10%%)\n", 100 * c / p
  printf "backup --history (nothing changed) / backup --force: %.2f x\n", h / p }'

echo
echo "== send --verify against a fetch plus a send, Modbus TCP on loopback"
"$build/kova-sample-config" "$tmp/plant.KOV"
best_verify=; best_pair=
for round in $(seq "$rounds"); do
  start=$(now)
  "$build/kova-config" -q "${link[@]}" --verify send "$tmp/plant.KOV"
  verify=$(elapsed "$start")
  start=$(now)
  "$build/kova-config" -q "${link[@]}" --force fetch "$tmp/one.KOV"
  "$build/kova-config" -q "${link[@]}" send "$tmp/plant.KOV"
  pair=$(elapsed "$start")
  echo "round $round: send --verify $verify s, fetch + send $pair s"
  best_verify=$(best "$best_verify" "$verify"); best_pair=$(best "$best_pair" "$pair")
done
awk -v v="$best_verify" -v p="$best_pair" 'BEGIN {
  printf "best: send --verify %.4f s, fetch + send %.4f s\n", v, p
  printf "ratio send --verify / (fetch + send): %.2f x (goal: at most 1.05 x)\n", v / p }'

echo
echo "== send --verify against a fetch plus a send, Modbus RTU paced at 9600 baud on a pty, once"
"$build/kova-sim" --protocol rtu --pty --pace --baud 9600 --parity even > "$tmp/rtu.out" & pids+=($!)
until [ -s "$tmp/rtu.out" ]; do sleep 0.01; done
rtu=(--type rtu --port "$(head -1 "$tmp/rtu.out")" --baud 9600 --parity even)
start=$(now)
"$build/kova-config" -q "${rtu[@]}" --verify send "$tmp/plant.KOV"
verify=$(elapsed "$start")
start=$(now)
"$build/kova-config" -q "${rtu[@]}" --force fetch "$tmp/one.KOV"
"$build/kova-config" -q "${rtu[@]}" send "$tmp/plant.KOV"
pair=$(elapsed "$start")
awk -v v="$verify" -v p="$pair" 'BEGIN {
  printf "send --verify %.2f s, fetch + send %.2f s\n", v, p
  printf "ratio send --verify / (fetch + send): %.2f x (goal: at most 1.05 x)\n", v / p }'
