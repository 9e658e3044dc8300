#!/usr/bin/env bash
# The serial terminal: throughput of received text with control bytes at the
# full speed of a pty, and CPU use idle and under a steady 115200-baud stream.
set -eu
build=${1:-build}
python3 "$(dirname "$0")/terminal_stream.py" "$build"
