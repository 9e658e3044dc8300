#!/usr/bin/env bash
# The demo behind `make run`: a simulated KOVA module (kova-sim) serving
# Modbus TCP on loopback, and kovasw started in BUILD/demo with a KOVASW.STP
# that names it, so every online function has a module to talk to. The module
# holds the sample configuration of kova-sample-config (a barcode scanner and
# a polled scale), which is also left in BUILD/demo as PLANT.KOV unless a file
# of that name is there already. The devices are fed from scripts/demo-devices:
# the scale sends a weight drifting around 12.5 kg (S stable, D moving) once
# a second on port 2, the scanner one of four barcodes every four seconds on
# port 1. The simulator this script started is stopped when kovasw ends, and
# on SIGINT or SIGTERM.
#
# Usage: scripts/demo.sh BUILD_DIR [KEYS...]
# KOVA_DEMO_DIR names another folder to start in (default BUILD_DIR/demo).
set -u

BUILD=$(cd "${1:?usage: demo.sh BUILD_DIR [KEYS...]}" && pwd)
DEVICES=$(cd "$(dirname "$0")/demo-devices" && pwd)
shift
DEMO="${KOVA_DEMO_DIR:-$BUILD/demo}"
WORK=$(mktemp -d /tmp/kovasw-demo.XXXXXX)
SIM_OUT="$WORK/kova-sim.out"
SIM_PID=
KOVA_PID=
cleanup() {
    if [ -n "$KOVA_PID" ] && kill -0 "$KOVA_PID" 2>/dev/null; then
        kill -TERM "$KOVA_PID" 2>/dev/null
        wait "$KOVA_PID" 2>/dev/null
    fi
    if [ -n "$SIM_PID" ]; then
        kill -TERM "$SIM_PID" 2>/dev/null
        wait "$SIM_PID" 2>/dev/null
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# One 16-bit little-endian word per argument.
words() {
    local v
    for v in "$@"; do
        printf "\\x$(printf %02x $((v & 255)))\\x$(printf %02x $((v >> 8 & 255)))"
    done
}
zeros() { head -c "$1" /dev/zero; }

# The 150-byte settings: Modbus TCP to 127.0.0.1 at the given port, unit 1,
# timeout 500, errors in the error window, the viewer at 20 registers.
# Written beside and renamed into place, so a program starting from the same
# folder reads either the old settings or the new, never half of them.
write_setup() {
    local host=127.0.0.1
    local partial="$1.$$.tmp"
    {
        words 6 0 0 13 1 0 1 0      # type, port, reserved, baud, data, stop, parity, check
        words 1 1; zeros 18         # route count, the unit, the rest of the route
        words 0 13 1 0 0            # terminal port, baud, data, stop, parity
        printf 'EDIT.COM'; zeros 34
        words 0 0 20 1 0 0 500 "$2" # viewer priority, status, size, start, identify; trap; timeout; TCP port
        printf '%s' "$host"; zeros $((42 - ${#host}))
        words 0                     # register set
    } > "$partial" && mv -f "$partial" "$1"
}

# A port the setup form can show (four digits): the first free one from 5020.
start_simulator() {
    local port
    for port in $(seq 5020 5059); do
        "$BUILD/kova-sim" --tcp "127.0.0.1:$port" --drop 1 --config "$WORK/PLANT.KOV" \
            --feed "2=$DEVICES/scale.txt@1000" --feed "1=$DEVICES/scanner.txt@4000" \
            > "$SIM_OUT" 2>/dev/null &
        SIM_PID=$!
        for _ in $(seq 100); do  # up to five seconds for "listening"
            if [ "$(head -n 1 "$SIM_OUT" 2>/dev/null)" = listening ]; then
                SIM_PORT=$port
                return 0
            fi
            kill -0 "$SIM_PID" 2>/dev/null || break
            sleep 0.05
        done
        kill -TERM "$SIM_PID" 2>/dev/null
        wait "$SIM_PID" 2>/dev/null
        SIM_PID=
    done
    return 1
}

if ! "$BUILD/kova-sample-config" "$WORK/PLANT.KOV"; then
    echo "demo: kova-sample-config could not write the sample configuration" >&2
    exit 1
fi
if ! start_simulator; then
    echo "demo: kova-sim could not listen on 127.0.0.1 (ports 5020-5059)" >&2
    exit 1
fi
mkdir -p "$DEMO"
[ -e "$DEMO/PLANT.KOV" ] || cp "$WORK/PLANT.KOV" "$DEMO/PLANT.KOV"
write_setup "$DEMO/KOVASW.STP" "$SIM_PORT"

cd "$DEMO"
# In the background so that a signal to this script is handled at once; the
# explicit redirection keeps the terminal as kovasw's input.
"$BUILD/kovasw" "$@" <&0 &
KOVA_PID=$!
wait "$KOVA_PID"
status=$?
KOVA_PID=
exit "$status"
