#!/bin/sh
# Builds the program and times its command line (bench/cli_bench.cpp). Options are passed on:
#   --corpus DIR   where the corpus is (generated there when missing; default /dev/shm/strelmark-corpus)
#   --out DIR      where outputs go, a fresh folder (default a new folder in /dev/shm)
#   --reps N       repetitions (default 5)
# BUILD_DIR chooses the build folder (default build-bench beside this script's folder).
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSTRELMARK_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target cli_bench >/dev/null
exec "$build/bench/cli_bench" --program "$build/bin/strelmark" "$@"
