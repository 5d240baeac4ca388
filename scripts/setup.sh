#!/usr/bin/env bash
# Installs what the build needs when it is missing, then configures and builds into build/:
# everything, or only the targets named (and what they need).
#   bash scripts/setup.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make libpugixml-dev libgtest-dev libgmock-dev libbenchmark-dev pkg-config locales)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# The tests of numbers under a decimal-comma locale need one installed.
if ! locale -a 2>/dev/null | grep -ix 'de_DE.utf-\?8' >/dev/null; then
    echo "generating the locale de_DE.UTF-8"
    $sudo_cmd localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

build_dir=${ZARVIK_BUILD_DIR:-build}
# ZARVIK_CMAKE_ARGS adds options (scripts/run-tests.sh --sanitize sets the sanitizer build).
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARVIK_WERROR=ON ${ZARVIK_CMAKE_ARGS:-} >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
