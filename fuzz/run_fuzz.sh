#!/bin/sh
# Runs the analysis fuzzer for a bounded time. Usage: run_fuzz.sh BUILD_DIR [SECONDS]
set -eu
build=$1
seconds=${2:-60}
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
# Real files of many formats as seeds, so that the run starts deep inside
# the parsers rather than at their first magic bytes.
seeds="$(dirname "$0")/../tests/data/formats"
if [ -d "$seeds" ]; then
  cp "$seeds"/* "$corpus"/
fi
# Small compound files and office headers, written from their layouts, for
# the container readers and the pack's office formats.
if command -v python3 > /dev/null; then
  python3 "$(dirname "$0")/make_seeds.py" "$corpus"
fi
# libFuzzer's own exit status for a crash is 77, which the test scripts
# read as "skipped": a crash must fail the run.
"$build/analysis_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -error_exitcode=1 -timeout_exitcode=1 "$corpus"
