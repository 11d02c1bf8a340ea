#!/usr/bin/env bash
# Runs both fuzz harnesses one after the other (one process at a time), each for a
# bounded time, on corpora seeded from the language tests. Findings are written to
# BUILD/fuzz/artifacts. Usage: run-fuzzers.sh BUILD SECONDS [TIMEOUT]
# An input that runs longer than TIMEOUT seconds (default 20) counts as a finding.
set -euo pipefail
build=${1:?build directory}
seconds=${2:?seconds for each harness}
timeout=${3:-20}
here=$(cd "$(dirname "$0")" && pwd)
# Absolute paths: the harnesses work in a scratch directory of their own.
build=$(cd "$build" && pwd)
work="$build/fuzz"
mkdir -p "$work/artifacts"
python3 "$here/seed_corpus.py" "$here/../programs" "$work/corpus-lines" "$work/corpus-expression"
status=0
for harness in lines expression; do
  echo "fuzz_$harness: $seconds s"
  "$build/fuzz_$harness" "$work/corpus-$harness" -dict="$here/velmora.dict" \
    -max_total_time="$seconds" -max_len=2048 -timeout="$timeout" -rss_limit_mb=2048 \
    -artifact_prefix="$work/artifacts/$harness-" -print_final_stats=1 2>"$work/$harness.log" || status=1
  grep -E "^(Done|stat::|==[0-9]+==ERROR|SUMMARY|artifact_prefix)" "$work/$harness.log" || true
done
exit $status
