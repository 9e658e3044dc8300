#!/usr/bin/env bash
# kova-config emulate on a 10 MB raw capture of the demo's scale (its lines
# with CR LF, as the terminal's raw capture holds them), through port 2 of
# the sample configuration: every line is a message one or two paths take.
# The goal is at least 20 MB/s for the lines; JSON is measured beside it.
set -eu
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/kova-bench-emulate.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/kova-sample-config" "$work/PLANT.KOV"
sed 's/$/\r/' "$here/../scripts/demo-devices/scale.txt" > "$work/lines"
size=$((10 * 1024 * 1024))
while [ "$(stat -c %s "$work/lines")" -lt "$size" ]; do
    cat "$work/lines" "$work/lines" > "$work/more" && mv "$work/more" "$work/lines"
done
head -c "$size" "$work/lines" > "$work/capture"
run() {
    local label=$1
    shift
    local TIMEFORMAT='%R %U %S' times
    times=$( { time "$build/kova-config" "$@" emulate "$work/PLANT.KOV" 2 "$work/capture" \
        > "$work/out" 2>/dev/null; } 2>&1)
    awk -v t="$times" -v bytes="$size" -v label="$label" \
        -v messages="$(grep -c . "$work/out")" 'BEGIN {
        split(t, f, " ")
        mb = bytes / 1048576
        printf "kova-config emulate %s: 10 MB capture, %d lines out in %.2f s (%.2f s CPU): %.1f MB/s, %.1f MB/s of CPU%s\n",
            label, messages, f[1], f[2] + f[3], mb / f[1], mb / (f[2] + f[3]),
            label == "lines" ? " (goal at least 20 MB/s)" : ""
    }'
}
run lines
run json --json
