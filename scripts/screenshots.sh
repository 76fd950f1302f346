#!/usr/bin/env bash
# Renders every window of the desktop program on demo data to PNG pictures (offscreen), for
# people to look at: scripts/screenshots.sh [FOLDER] (default build/capturas).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target kapred-tour -j2 >/dev/null
folder="${1:-build/capturas}"
QT_QPA_PLATFORM=offscreen build/tests/ui/kapred-tour "$folder"
