#!/usr/bin/env bash
# Configures and builds everything (plug-in, tests, tools, benchmarks) into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@"
cmake --build build --parallel "$(nproc)"
