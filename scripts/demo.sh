#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
echo "Built. The demo server and client are not part of this build yet."
