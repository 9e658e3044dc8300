#!/usr/bin/env bash
# A whole-module fetch through a serial device server's TCP port (kova-sim
# serving Modbus RTU on loopback as a device server carries its line, the
# port named tcp:127.0.0.1:PORT) against the same fetch over Modbus TCP,
# alternating for ROUNDS rounds (default 10); the best time of each is
# compared, as the machine is shared.
# usage: bench/device_server.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
tmp=$(mktemp -d /tmp/kova-bench-devserver-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

"$build/kova-sample-config" "$tmp/PLANT.KOV" > /dev/null
start_sim() {  # name options..., sets port
  local name=$1; shift
  "$build/kova-sim" "$@" --config "$tmp/PLANT.KOV" > "$tmp/sim.$name.out" & pids+=($!)
  until [ "$(wc -l < "$tmp/sim.$name.out")" -ge 2 ]; do sleep 0.01; done
  port=$(sed -n 2p "$tmp/sim.$name.out")
}
start_sim rtu --protocol rtu --listen 127.0.0.1:0; rtu_port=$port
start_sim tcp --protocol tcp --listen 127.0.0.1:0; tcp_port=$port

fetch_seconds() {  # kova-config link options...
  local start end
  rm -f "$tmp/F.KOV"
  start=$(date +%s.%N)
  "$build/kova-config" "$@" -q fetch "$tmp/F.KOV"
  end=$(date +%s.%N)
  cmp -s "$tmp/PLANT.KOV" "$tmp/F.KOV" || { echo "fetched file differs" >&2; exit 1; }
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }'
}

echo "== Whole-module fetch: Modbus RTU through a device server's TCP port against Modbus TCP"
rounds=${ROUNDS:-10}
best_rtu=; best_tcp=
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
for round in $(seq "$rounds"); do
  rtu=$(fetch_seconds --type rtu --port "tcp:127.0.0.1:$rtu_port")
  tcp=$(fetch_seconds --type tcp --host 127.0.0.1 --tcp-port "$tcp_port")
  echo "round $round: rtu on tcp: $rtu s, Modbus TCP $tcp s"
  best_rtu=$(best "$best_rtu" "$rtu")
  best_tcp=$(best "$best_tcp" "$tcp")
done
awk -v a="$best_rtu" -v b="$best_tcp" 'BEGIN {
  printf "best: rtu on tcp: %.3f s, Modbus TCP %.3f s\n", a, b
  printf "ratio rtu on tcp: / Modbus TCP: %.2f x (goal: at most 1.1 x)\n", a / b }'
