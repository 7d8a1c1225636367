#!/bin/sh
# Builds the fuzz target with clang in build-fuzz/ and runs it for SECONDS (default 60).
# Usage: fuzz/run.sh [SECONDS]   Exit status is libFuzzer's: non-zero on a crash, with the
# input that caused it left in build-fuzz/crash-*.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVOREL_FUZZ=ON -DBUILD_TESTING=OFF -DVOREL_BENCH=OFF
cmake --build build-fuzz --target fuzz_printer -j2
mkdir -p build-fuzz/corpus
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 build-fuzz/fuzz/fuzz_printer \
    -max_total_time="$seconds" -max_len=4096 -artifact_prefix=build-fuzz/ \
    build-fuzz/corpus fuzz/corpus
