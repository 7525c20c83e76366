#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-dependencies.sh
bash scripts/build.sh

# The engine and link code again under ThreadSanitizer: several instances on several threads.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOOPVANE_THREAD_SANITIZER=ON \
    -DHOOPVANE_BUILD_PLUGIN=OFF -DHOOPVANE_BUILD_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
cmake --build build-tsan --parallel "$(nproc)" --target hoopvane_engine_tests
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build-tsan --output-on-failure -R Concurrency

ctest --test-dir build --output-on-failure --parallel "$(nproc)"
