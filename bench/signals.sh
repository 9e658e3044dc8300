#!/usr/bin/env bash
# How soon a tool waiting on a silent device ends after a signal: kova-link
# poll over Modbus RTU on a socat pty pair whose far end never answers (each
# request would wait its reply timeout, twice, about 10 s), SIGTERM sent
# while a request waits. Prints the exit status seen and the time from the
# signal to the end, the median and the worst of 20 runs.
# usage: bench/signals.sh [BUILD_DIR]   (default: build)
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

echo "== kova-link poll on a silent device: SIGTERM to exit, 20 runs"
socat pty,raw,echo=0,link="$tmp/a" pty,raw,echo=0,link="$tmp/b" & pids+=($!)
wait_for "$tmp/a"; wait_for "$tmp/b"
times=()
statuses=()
for _ in $(seq 20); do
  "$build/kova-link" --type rtu --port "$tmp/b" poll 20 2 >/dev/null & poll=$!
  sleep 0.3  # the first request is under way, its reply not coming
  start=$(date +%s%N)
  kill -TERM "$poll"
  status=0; wait "$poll" || status=$?
  times+=($(( ($(date +%s%N) - start) / 1000 )))
  statuses+=("$status")
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | sed -n 10p)
worst=$(echo "$sorted" | tail -1)
echo "exit statuses: $(printf '%s\n' "${statuses[@]}" | sort | uniq -c | awk '{printf "%s x%s ", $2, $1}')"
awk -v m="$median" -v w="$worst" 'BEGIN { printf "SIGTERM to exit: median %.1f ms, worst %.1f ms\n", m / 1000, w / 1000 }'
