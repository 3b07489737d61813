#!/usr/bin/env bash
# A bounded fuzz campaign: builds the targets with clang, writes the seed
# corpus, and fuzzes each target for SECONDS (default 60). Exits non-zero on
# a finding.
# Usage: fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(fuzz_convert fuzz_dosvfont fuzz_tofontx fuzz_show)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DDOSV2BDF_FUZZ=ON \
  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target "${targets[@]}" fuzz_seeds -j2 >/dev/null
mkdir -p build-fuzz/seeds build-fuzz/findings
build-fuzz/fuzz/fuzz_seeds build-fuzz/seeds
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus-$t"
  echo "== $t"
  # Long lines, texts of many characters and composite chains need room.
  case $t in fuzz_tofontx | fuzz_show) len=1048576 ;; *) len=8192 ;; esac
  "build-fuzz/fuzz/$t" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len="$len" -dict=fuzz/dictionary.txt \
    -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$t-" "build-fuzz/corpus-$t" \
    build-fuzz/seeds
done
