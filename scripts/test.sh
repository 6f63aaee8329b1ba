#!/usr/bin/env bash
# Installs what is missing, builds the sanitizer configuration and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
export QT_QPA_PLATFORM=offscreen
ctest --preset sanitize -j"$(nproc)" --timeout 600
