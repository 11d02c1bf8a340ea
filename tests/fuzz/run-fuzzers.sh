#!/usr/bin/env bash
# Runs the fuzz harnesses one after the other (one process at a time), each for a
# bounded time: the session, engine-comparing and expression harnesses on corpora
# seeded from the language tests, the image readers on small files of every format.
# Findings are written to BUILD/fuzz/artifacts. Usage: run-fuzzers.sh BUILD SECONDS [TIMEOUT]
# An input that runs longer than TIMEOUT seconds (default 20) counts as a finding.
# FUZZ_HARNESSES picks some of them (default: all), e.g. FUZZ_HARNESSES="gif png".
set -euo pipefail
build=${1:?build directory}
seconds=${2:?seconds for each harness}
timeout=${3:-20}
here=$(cd "$(dirname "$0")" && pwd)
# Absolute paths: the harnesses work in a scratch directory of their own.
build=$(cd "$build" && pwd)
work="$build/fuzz"
mkdir -p "$work/artifacts"
python3 "$here/seed_corpus.py" "$here/../programs" "$work/corpus-lines" "$work/corpus-expression" \
  "$work/corpus-engines" "$work/engine-lines.txt"
export FUZZ_ENGINE_LINES="$work/engine-lines.txt"
"$build/image_seeds" "$work/corpus-image"
status=0
for harness in ${FUZZ_HARNESSES:-lines expression engines bmp pnm ico tiff gif png jpeg}; do
  echo "fuzz_$harness: $seconds s"
  case $harness in
    lines|expression|engines) corpus="$work/corpus-$harness"; options=(-dict="$here/velmora.dict" -max_len=2048) ;;
    *) corpus="$work/corpus-image/$harness"; options=(-max_len=8192) ;;
  esac
  "$build/fuzz_$harness" "$corpus" "${options[@]}" \
    -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 \
    -artifact_prefix="$work/artifacts/$harness-" -print_final_stats=1 2>"$work/$harness.log" || status=1
  grep -E "^(Done|stat::|==[0-9]+==ERROR|SUMMARY|artifact_prefix)" "$work/$harness.log" || true
done
exit $status
