#!/bin/sh
# Runs the analysis fuzzer for a bounded time. Usage: run_fuzz.sh BUILD_DIR [SECONDS]
set -eu
build=$1
seconds=${2:-60}
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$build/analysis_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 "$corpus"
