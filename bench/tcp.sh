#!/usr/bin/env bash
# Modbus TCP benchmark on loopback, printed as a ratio: 2000 reads of 10
# registers from libmodbus's TCP server by kova-link and by a plain libmodbus
# client loop (modbus_read_registers), alternating for ROUNDS rounds (default
# 5); the best time of each is compared, as the machine is shared.
# usage: bench/tcp.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
tmp=$(mktemp -d /tmp/kova-bench-tcp-XXXXXX)
server=
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

seconds_of() { sed -n 's/.* in \([0-9.]*\) s.*/\1/p'; }

echo "== Modbus TCP on loopback: 2000 reads of 10 registers"
"$build/kova-modbus-server" tcp:127.0.0.1:0 > "$tmp/server.out" & server=$!
until [ "$(wc -l < "$tmp/server.out")" -ge 2 ]; do sleep 0.01; done
port=$(sed -n 2p "$tmp/server.out")
rounds=${ROUNDS:-5}
best_ours=; best_theirs=
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
for round in $(seq "$rounds"); do
  ours=$("$build/kova-link" --type tcp --host 127.0.0.1 --tcp-port "$port" bench 2000 1 10)
  theirs=$("$build/kova-modbus-client" "tcp:127.0.0.1:$port" 2000 1 10)
  echo "round $round: kova-link $(echo "$ours" | seconds_of) s, libmodbus client $(echo "$theirs" | seconds_of) s"
  best_ours=$(best "$best_ours" "$(echo "$ours" | seconds_of)")
  best_theirs=$(best "$best_theirs" "$(echo "$theirs" | seconds_of)")
done
awk -v a="$best_ours" -v b="$best_theirs" 'BEGIN {
  printf "best: kova-link %.3f s (%.0f requests per second), libmodbus client %.3f s (%.0f per second)\n", a, 2000 / a, b, 2000 / b
  printf "ratio kova-link / libmodbus: %.2f x (goal: at most 1.5 x)\n", a / b }'
