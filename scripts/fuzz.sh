#!/usr/bin/env bash
# Builds every fuzz target with clang's libFuzzer (ASan+UBSan) in build-fuzz/
# and runs each for FUZZ_SECONDS (default 60) from its corpus directory.
set -eu
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang >/dev/null
  else
    echo "fuzz.sh needs clang: sudo apt-get install clang" >&2
    exit 1
  fi
fi
seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKOVA_SANITIZE=address -DKOVA_FUZZ=ON >/dev/null
targets=$(cd tests/fuzz && ls *_fuzz.cpp | sed 's/\.cpp$//')
cmake --build build-fuzz -j "$(nproc)" --target $targets
for t in $targets; do
  corpus=build-fuzz/corpus/$t
  mkdir -p "$corpus"
  echo "== $t for ${seconds}s"
  build-fuzz/tests/fuzz/$t -max_total_time="$seconds" -max_len=7000 "$corpus"
done
