#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${ZARVIK_BUILD_DIR:-build}
cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" --timeout 120
