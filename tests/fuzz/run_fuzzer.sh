#!/usr/bin/env bash
# Runs one fuzzer briefly on a copy of its corpus; any crash fails the test.
set -euo pipefail
fuzzer=$(readlink -f "$1")
corpus=$(readlink -f "$2")
[ -x "$fuzzer" ] || { echo "fuzzer $fuzzer was not built (scripts/test builds build-fuzz/)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$corpus/." "$work/" 2>/dev/null || true
cd "$work"
ASAN_OPTIONS="detect_leaks=1:allow_user_segv_handler=1" \
  "$fuzzer" -max_total_time="${LUDEXA_FUZZ_SECONDS:-30}" -timeout=10 -rss_limit_mb=2048 "$work" >fuzz.log 2>&1 \
  || { tail -60 fuzz.log >&2; exit 1; }
tail -3 fuzz.log
