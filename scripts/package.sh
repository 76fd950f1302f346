#!/usr/bin/env bash
# Builds the Debian package in build/ (installing what the build needs first) and reviews it with
# lintian, which must find no error and no warning. Prints the package's path on standard output
# (what the build says goes to standard error).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages >&2

build_dir="${KAPRED_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build "$build_dir" -j2 >&2
rm -f "$build_dir"/kapred_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
package="$(ls "$build_dir"/kapred_*.deb)"
lintian --fail-on error,warning --display-info "$package" >&2
echo "$package"
