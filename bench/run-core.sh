#!/bin/sh
# Builds and runs the text core's benchmark. Options are passed on to strelmark_bench_core:
#   --corpus DIR   where the corpus is (generated there when missing; default /dev/shm/strelmark-corpus)
#   --out DIR      where outputs go, a fresh folder (default a new folder in /dev/shm)
#   --reps N       repetitions per workload (default 5)
#   --probes       also time the program with its syncs made no-ops, with its yields made by
#                  a bare coarse-clock check instead of the event pump, with no yield call per
#                  line, and a plain read+write copy through the same writer (the floor)
#   --only NAME    only the workload tree, big or long (may be repeated)
# BUILD_DIR chooses the build folder (default build-bench beside this script's folder).
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSTRELMARK_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target strelmark_bench_core >/dev/null
exec "$build/bench/strelmark_bench_core" "$@"
