#!/usr/bin/env bash
# Installs what is missing, builds everything into build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
# GUI tests use Qt's offscreen platform unless a test starts its own display.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --test-dir build --output-on-failure -j "$(nproc)"
