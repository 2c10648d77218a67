#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=$(bash scripts/build.sh --tests)
cd "$build"
ctest --output-on-failure -j"$(nproc)"
