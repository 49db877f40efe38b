#!/usr/bin/env bash
# Runs every benchmark program of a build, one after another; builds nothing itself.
# Usage: bench/run.sh [build-dir] [benchmark options...]   (build-dir defaults to build/)
# Each program prints its figures and, at the end, its ratios against the baseline measured in
# the same run. Any *_bench program under <build-dir>/bench is picked up.
set -euo pipefail
cd "$(dirname "$0")/.."

build="build"
if [[ $# -gt 0 && "$1" != -* ]]; then
  build="$1"
  shift
fi
if [[ ! -d "$build/bench" ]]; then
  echo "no benchmarks in $build/bench: build first (./test.sh builds them into build/)" >&2
  exit 1
fi

mapfile -t programs < <(find "$build/bench" -type f -name '*_bench' -perm -u+x | sort)
if [[ ${#programs[@]} -eq 0 ]]; then
  echo "no *_bench programs in $build/bench" >&2
  exit 1
fi

status=0
for program in "${programs[@]}"; do
  echo "=== ${program#"$build"/}"
  "$program" "$@" || status=1
  echo
done
exit "$status"
