#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it against the bundled sample site.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

if [ ! -x build/qorvella ]; then
  echo "run.sh: the program itself is not built yet; the core library and its tests are."
  echo "run.sh: run ./test.sh to check them."
  exit 0
fi
exec ./scripts/run-program.sh "$@"
