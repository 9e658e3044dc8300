#!/usr/bin/env bash
# Runs every benchmark script under bench/ against a build directory.
set -u
build=${1:-build}
cd "$(dirname "$0")/.."
status=0
for script in bench/*.sh; do
  [ "$(basename "$script")" = run-all.sh ] && continue
  echo "== $script"
  bash "$script" "$build" || status=1
done
exit $status
