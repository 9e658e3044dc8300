#!/usr/bin/env bash
# Link benchmarks, printed as ratios:
#  1. Modbus RTU over a socat pty pair against libmodbus's RTU server:
#     2000 reads of 10 registers by kova-link and by a plain libmodbus client.
#  2. Reading the 831 registers of one module port, in the sections a port
#     fetch uses, from the simulated module pacing its output at 9600 baud
#     8E1, against the wire time of all characters of the exchange.
# usage: bench/link.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
tmp=$(mktemp -d /tmp/kova-bench-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

wait_for() {  # wait for a file to exist, at most 10 s
  for _ in $(seq 1000); do [ -e "$1" ] && return 0; sleep 0.01; done
  echo "timed out waiting for $1" >&2
  exit 1
}

seconds_of() { sed -n 's/.* in \([0-9.]*\) s.*/\1/p'; }

echo "== Modbus RTU over socat: 2000 reads of 10 registers"
socat pty,raw,echo=0,link="$tmp/a" pty,raw,echo=0,link="$tmp/b" & pids+=($!)
wait_for "$tmp/a"; wait_for "$tmp/b"
"$build/kova-modbus-server" "$tmp/a" 1 > "$tmp/server.out" & pids+=($!)
wait_for "$tmp/server.out"
until grep -q ready "$tmp/server.out"; do sleep 0.01; done
ours=$("$build/kova-link" --type rtu --port "$tmp/b" bench 2000 1 10)
theirs=$("$build/kova-modbus-client" "$tmp/b" 2000 1 10)
t_ours=$(echo "$ours" | seconds_of)
t_theirs=$(echo "$theirs" | seconds_of)
echo "kova-link:        $ours"
echo "libmodbus client: $theirs"
awk -v a="$t_ours" -v b="$t_theirs" 'BEGIN { printf "ratio kova-link / libmodbus: %.2f x (goal: at most 2 x)\n", a / b }'

sections=5,16,16,33,33,4,33,33,4,33,33,4,33,33,4,32,32,32,32,32,32,32,32,32,32,32,32,32,32,32,32,2
first=2049  # port 1 of the module
echo
echo "== One port (831 registers in 32 requests) at 9600 baud 8E1, paced by the simulated module"
run_paced() {  # name, sim options, link options
  local name=$1 sim_opts=$2 link_opts=$3
  "$build/kova-sim" --pty --pace --baud 9600 --parity even $sim_opts > "$tmp/sim-$name.out" & local sim=$!
  pids+=($sim)
  until [ -s "$tmp/sim-$name.out" ]; do sleep 0.01; done
  local port; port=$(head -1 "$tmp/sim-$name.out")
  local out; out=$("$build/kova-link" --port "$port" --baud 9600 --parity even $link_opts sections $first $sections)
  kill "$sim"; wait "$sim" 2>/dev/null || true
  local took; took=$(echo "$out" | seconds_of)
  local chars; chars=$(python3 "$here/link_wire.py" "$name" $first $sections)
  awk -v n="$name" -v t="$took" -v c="$chars" 'BEGIN {
    w = c * 11 / 9600
    printf "%-10s %5d chars, wire %.3f s, took %.3f s: %.3f x the wire time (goal: at most 1.15 x)\n", n, c, w, t, t / w }'
}
run_paced symax "--protocol symax" "--type symax"
run_paced symax-crc "--protocol symax --crc" "--type symax --crc"
run_paced rtu "--protocol rtu" "--type rtu"
run_paced ascii "--protocol ascii" "--type ascii"
