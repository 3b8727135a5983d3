#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the desktop program with the sample project.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
zentrova_install_packages "${ZENTROVA_PACKAGES[@]}"

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZENTROVA_BUILD_TESTS=OFF
cmake --build "$build" -j"$(nproc)"
if [ -x "$build/bin/zentrova" ]; then
    exec "$build/bin/zentrova" "$@"
fi
echo "Built the libraries in $build/lib; the desktop program is not built yet."
