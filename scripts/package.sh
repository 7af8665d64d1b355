#!/usr/bin/env bash
# Builds the Debian packages nimbrel and quorvin into dist/ from a build folder: build/ (the
# one scripts/test.sh makes) unless another is named, configured and built here when it is
# missing or behind. The build is set to install under /usr, the paths its menu entries,
# user units and scripts are written with.
#
#     scripts/package.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build package

build=${1:-build}
settings=(-DCMAKE_INSTALL_PREFIX=/usr)
[ -f "$build/CMakeCache.txt" ] || settings+=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
cmake -S . -B "$build" "${settings[@]}"
cmake --build "$build" -j "$(nproc)"

rm -rf dist
(cd "$build" && cpack -G DEB -B "$OLDPWD/dist")
rm -rf dist/_CPack_Packages
ls dist/*.deb
