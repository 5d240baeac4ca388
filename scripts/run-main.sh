#!/usr/bin/env bash
# Builds everything and runs a session of the host stand-in against the built-in simulated analyzer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${ZARVIK_BUILD_DIR:-build}
export ZARVIK_REGISTRY=${ZARVIK_REGISTRY:-$PWD/$build_dir/demo-registry.txt}
"$build_dir/bin/zarvik-host" demo
"$build_dir/bin/zarvik-host" session
