#!/bin/sh
# The core benchmark and the window's benchmark on tmpfs and, side by side, on a disk: a fresh
# folder of the file system that holds the build tree (or of DISK_DIR when given), which must not
# be a tmpfs. Prints the machine's load before and after; measure when it is lowest.
#
#   bench/bench-disk.sh BUILD_DIR [DISK_DIR]
#
# REPS (default 5) sets the repetitions of the core benchmark, RUN_REPS (default 3) those of
# the window's.
set -eu
build=$(cd "$1" && pwd)
base=${2:-$build}
kind=$(stat -f -c %T "$base")
if [ "$kind" = tmpfs ]; then
  echo "$base is on a tmpfs: give a folder on a disk (make bench-disk BENCH_DISK_DIR=...)" >&2
  exit 2
fi
disk=$(mktemp -d "$base/strelmark-bench-disk-XXXXXX")
shm=$(mktemp -d /dev/shm/strelmark-bench-XXXXXX)
trap 'rm -rf "$disk" "$shm"' EXIT INT TERM
echo "disk: $disk ($kind); tmpfs: $shm"
echo "load before: $(uptime)"
core="$build/bench/strelmark_bench_core"
"$core" --reps "${REPS:-5}" --out "$shm/core" --out "$disk/core" \
  --only tree --only inplace --only small --probes --count-calls
# A cold page cache: the tree read from the disk after the cache is dropped (root only).
"$core" --reps "${RUN_REPS:-3}" --out "$disk/cold" --only cold --probes
"$build/bench/run_bench" --reps "${RUN_REPS:-3}" --out "$shm" --out "$disk"
echo "load after: $(uptime)"
