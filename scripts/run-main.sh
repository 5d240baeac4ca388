#!/usr/bin/env bash
# Builds zarvik-host and the libraries it loads, registers the libraries and lists the
# catalogue, then runs a test session: every catalogue test whose class exists, performed by the
# automatic operator against the built-in simulated analyzer. (The tests and benchmarks are
# built by scripts/run-tests.sh, into the same build/.)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh zarvik-host
build_dir=${ZARVIK_BUILD_DIR:-build}
export ZARVIK_REGISTRY=${ZARVIK_REGISTRY:-$PWD/$build_dir/demo-registry.txt}
results="$PWD/$build_dir/session-results.xml"
"$build_dir/bin/zarvik-host" demo
status=0
"$build_dir/bin/zarvik-host" session --out "$results" || status=$?
echo "results: $results"
echo "report:  $results.txt"
exit "$status"
