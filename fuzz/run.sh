#!/usr/bin/env bash
# A bounded fuzz campaign: builds the target with clang, writes the seed
# corpus, and fuzzes for SECONDS (default 120). Exits non-zero on a finding.
# Usage: fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DDOSV2BDF_FUZZ=ON \
  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target fuzz_convert fuzz_seeds -j2 >/dev/null
corpus=build-fuzz/corpus
mkdir -p "$corpus" build-fuzz/seeds build-fuzz/findings
build-fuzz/fuzz/fuzz_seeds build-fuzz/seeds
build-fuzz/fuzz/fuzz_convert -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/findings/ "$corpus" build-fuzz/seeds
