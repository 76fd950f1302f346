#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
install_packages

build_dir="${KAPRED_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" ${KAPRED_CMAKE_ARGS:--DCMAKE_BUILD_TYPE=RelWithDebInfo}
cmake --build "$build_dir" -j2
cd "$build_dir"
ctest --output-on-failure -j2
