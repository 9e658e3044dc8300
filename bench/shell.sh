#!/usr/bin/env bash
# Terminal output of the main screen and the start-up time.
set -eu
build=${1:-build}
python3 "$(dirname "$0")/shell_screen.py" "$build"
