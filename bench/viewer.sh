#!/usr/bin/env bash
# The register viewer: refreshes per second and CPU over Modbus TCP, paced
# Sy/Max refreshes against the wire limit, terminal bytes per refresh.
set -eu
build=${1:-build}
python3 "$(dirname "$0")/viewer_refresh.py" "$build"
