#!/usr/bin/env bash
# CPU use of the emulator while it waits for a key, and its time per message.
set -eu
build=${1:-build}
python3 "$(dirname "$0")/emulator_idle.py" "$build"
