#!/usr/bin/env bash
# The demo behind `make run`: a simulated KOVA module (kova-sim, Sy/Max on a
# new pty) offered to kovasw as the serial port ttyKOVA0, and kovasw started
# in BUILD/demo with a KOVASW.STP that names that port, so every online
# function has a module to talk to. The simulator this script started is
# stopped when kovasw ends, and on SIGINT or SIGTERM.
#
# Usage: scripts/demo.sh BUILD_DIR [KEYS...]
set -u

BUILD=$(cd "${1:?usage: demo.sh BUILD_DIR [KEYS...]}" && pwd)
shift
DEMO="$BUILD/demo"
PORTS=$(mktemp -d /tmp/kovasw-demo-ports.XXXXXX)
SIM_OUT="$PORTS/kova-sim.out"
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
    rm -rf "$PORTS"
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

# The 150-byte settings: Sy/Max on the first listed port, 9600 baud, 8 data
# bits, even parity, BCC, no route, timeout 500, the viewer at 20 registers.
write_setup() {
    {
        words 1 0 0 13 1 0 1 0   # type, port, reserved, baud, data, stop, parity, check
        words 0                  # route count
        zeros 20                 # route
        words 0 13 1 0 0         # terminal port, baud, data, stop, parity
        printf 'EDIT.COM'; zeros 34
        words 0 0 20 1 0 0 500 502  # viewer priority, status, size, start, identify; trap; timeout; TCP port
        zeros 42                 # TCP host
        words 0                  # register set
    } > "$1"
}

"$BUILD/kova-sim" --protocol symax --pty > "$SIM_OUT" &
SIM_PID=$!
slave=
for _ in $(seq 100); do  # up to five seconds for the pty's name
    slave=$(head -n 1 "$SIM_OUT" 2>/dev/null)
    [ -n "$slave" ] && break
    kill -0 "$SIM_PID" 2>/dev/null || break
    sleep 0.05
done
if [ -z "$slave" ]; then
    echo "demo: kova-sim did not start" >&2
    exit 1
fi

mkdir -p "$PORTS/sys/class/tty/ttyKOVA0/device" "$PORTS/dev" "$DEMO"
ln -s "$slave" "$PORTS/dev/ttyKOVA0"
write_setup "$DEMO/KOVASW.STP"

cd "$DEMO"
# In the background so that a signal to this script is handled at once; the
# explicit redirection keeps the terminal as kovasw's input.
"$BUILD/kovasw" --device-root "$PORTS" "$@" <&0 &
KOVA_PID=$!
wait "$KOVA_PID"
status=$?
KOVA_PID=
exit "$status"
