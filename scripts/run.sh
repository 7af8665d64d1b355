#!/usr/bin/env bash
# Builds the programs (optimised) into build-release/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DNQ_BUILD_TESTS=OFF -DNQ_BUILD_BENCH=OFF
cmake --build build-release -j "$(nproc)"
