#!/usr/bin/env bash
# kova-config export and import of a whole configuration, the sample plant
# and one with every text field full of control characters:
#  1. the work itself (kova-text-bench): the file decoded and its TOML made;
#     the TOML parsed, checked and encoded again. Goal: each under 5 ms.
#  2. whole runs of kova-config beside a run that only starts and ends it
#     (--version): the import's crash-safe save flushes the file and its
#     folder to disk, which the disk, not the text, decides.
# Each figure is the best of ROUNDS rounds (default 5), as the machine is shared.
# usage: bench/config_text.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
tmp=$(mktemp -d /tmp/kova-bench-text-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
rounds=${ROUNDS:-5}
runs=${RUNS:-20}
kc="$build/kova-config"

"$build/kova-sample-config" "$tmp/plant.KOV"
"$kc" export "$tmp/plant.KOV" "$tmp/plant.toml"

now() { date +%s.%N; }
# Milliseconds a run of the command, best of the rounds.
per_run() {
  local best=""
  for _ in $(seq "$rounds"); do
    local start; start=$(now)
    for _ in $(seq "$runs"); do "$@" > /dev/null; done
    local ms; ms=$(awk -v a="$start" -v b="$(now)" -v n="$runs" 'BEGIN { printf "%.3f", (b - a) * 1000 / n }')
    best=$(awk -v a="$best" -v b="$ms" 'BEGIN { print (a == "" || b < a) ? b : a }')
  done
  echo "$best"
}

# Every text field of every port at 64 characters, control characters and
# bytes past 7F among them.
python3 - "$tmp/plant.toml" "$tmp/full.toml" <<'PY'
import sys
text = open(sys.argv[1]).read()
full = ''.join('\\u%04X' % c for c in range(1, 65))
out = []
skipping = False
for line in text.splitlines():
    if skipping:
        skipping = line != ']'
        continue
    key = line.split(' = ')[0]
    skipping = key == 'poll_queries' and line.endswith('[')
    if key in ('pattern', 'mask'):
        line = key + ' = "' + full + '"'
    if key == 'poll_queries':
        line = 'poll_queries = [' + ', '.join('"%s"' % full for _ in range(16)) + ']'
    out.append(line)
open(sys.argv[2], 'w').write('\n'.join(out) + '\n')
PY
"$kc" import "$tmp/full.toml" "$tmp/full.KOV"

work_best() {
  local best_e="" best_i=""
  for _ in $(seq "$rounds"); do
    read -r _ e _ _ i _ < <("$build/kova-text-bench" "$1" 200)
    best_e=$(awk -v a="$best_e" -v b="$e" 'BEGIN { print (a == "" || b < a) ? b : a }')
    best_i=$(awk -v a="$best_i" -v b="$i" 'BEGIN { print (a == "" || b < a) ? b : a }')
  done
  echo "$best_e $best_i"
}
over=0
for name in plant full; do
  read -r e i < <(work_best "$tmp/$name.KOV")
  printf '%s: export %s ms, import %s ms (goal under 5 ms each)\n' "$name" "$e" "$i"
  awk -v e="$e" -v i="$i" 'BEGIN { exit !(e < 5 && i < 5) }' || over=1
done

start=$(per_run "$kc" --version)
export_ms=$(per_run "$kc" export "$tmp/plant.KOV")
import_ms=$(per_run "$kc" --force import "$tmp/plant.toml" "$tmp/back.KOV")
cmp -s "$tmp/plant.KOV" "$tmp/back.KOV" || { echo "import did not give the file back" >&2; exit 1; }
printf 'whole runs: kova-config --version %s ms, export %s ms, import (with its save) %s ms\n' \
  "$start" "$export_ms" "$import_ms"
[ "$over" -eq 0 ] || { echo "over the goal" >&2; exit 1; }
