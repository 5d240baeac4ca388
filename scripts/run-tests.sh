#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
#   bash scripts/run-tests.sh              the normal build, in build/
#   bash scripts/run-tests.sh --sanitize   (or ZARVIK_SANITIZE=1) a build with AddressSanitizer,
#                                          LeakSanitizer and UndefinedBehaviorSanitizer, in
#                                          build-asan/; any sanitizer report fails its test
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=${ZARVIK_SANITIZE:-0}
for arg in "$@"; do
    case "$arg" in
        --sanitize) sanitize=1 ;;
        *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
    esac
done

if [ "$sanitize" = 1 ]; then
    export ZARVIK_BUILD_DIR=${ZARVIK_BUILD_DIR:-build-asan}
    export ZARVIK_CMAKE_ARGS="-DZARVIK_SANITIZE=ON -DZARVIK_BENCHMARKS=OFF"
    # Every finding stops the program with a failing status; leaks are findings too. The
    # suppressions file is where a leak of a system library, not ours to mend, would be named.
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_odr_violation=2:strict_init_order=1:detect_stack_use_after_return=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
else
    export ZARVIK_CMAKE_ARGS="-DZARVIK_SANITIZE=OFF"
fi

bash scripts/setup.sh
build_dir=${ZARVIK_BUILD_DIR:-build}
cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" --timeout 120
