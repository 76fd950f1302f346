#!/usr/bin/env bash
# Installs what is missing, builds, lays out the demo installation and runs the program on it.
# Without arguments it starts as the host would for the demo taxpayer and reports its status;
# any arguments go to kapred-cli instead (for example: ./run.sh --cuit 20-12345678-9 compact --yes).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
install_packages

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
program=build/demo/Kapred/kapred-cli
if [ "$#" -eq 0 ]; then
    exec "$program" --cuit 20-12345678-9 status
fi
exec "$program" "$@"
