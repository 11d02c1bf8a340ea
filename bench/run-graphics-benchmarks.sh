#!/usr/bin/env bash
# Drawing workloads: each bench/programs/draw_*.bas timed headless (no display) and
# with its window shown on a virtual X display (xvfb-run), best of several runs.
# Shown runs include opening the window (a few tens of milliseconds).
#
# Usage: bench/run-graphics-benchmarks.sh [build-dir] [workload...]
# Environment: BENCH_RUNS (default 3) runs per program, the best one counts.
set -uo pipefail

# One virtual display for all shown runs: the script runs itself again under xvfb-run.
if [ -z "${BENCH_UNDER_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" env BENCH_UNDER_XVFB=1 "$0" "$@"
fi

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:-build}" 2>/dev/null && pwd) || { echo "no build directory: ${1:-build}" >&2; exit 1; }
shift || true
workloads=("$@")
[ ${#workloads[@]} -eq 0 ] && workloads=(draw_lines draw_circles draw_paint draw_gget_scan)
runs=${BENCH_RUNS:-3}
velmora="$build/velmora"

# Seconds of wall clock and CPU of one run; the program's checksum goes to $2.
time_once() {
    local TIMEFORMAT='%3R %3U %3S'
    { time { cat "$bench_dir/programs/$1.bas"; echo run; } | "${@:3}" "$velmora" >"$2" 2>/dev/null; } 2>&1 |
        awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}

best_of() {
    for ((r = 0; r < runs; r++)); do time_once "$@"; done |
        awk 'NR == 1 || $1 < w { w = $1 } NR == 1 || $2 < c { c = $2 } END { printf "%s %s", w, c }'
}

checksum() { grep -v -e '^Velmora BASIC V' -e '^OK$' "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shown=(env SDL_VIDEODRIVER=x11)
[ -n "${BENCH_UNDER_XVFB:-}" ] || { echo "(no xvfb-run: shown windows skipped)"; shown=(); }

printf '%-16s %12s %12s %12s %12s  %s\n' workload "headless s" "cpu s" "shown s" "cpu s" checksum
for w in "${workloads[@]}"; do
    read -r hw hc < <(best_of "$w" "$work/h" env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy)
    sw=- sc=-
    [ ${#shown[@]} -gt 0 ] && read -r sw sc < <(best_of "$w" "$work/s" "${shown[@]}")
    sum=$(checksum "$work/h")
    [ ${#shown[@]} -gt 0 ] && [ "$(checksum "$work/s")" != "$sum" ] && sum="$sum (shown: DIFFERS)"
    printf '%-16s %12s %12s %12s %12s  %s\n' "$w" "$hw" "$hc" "$sw" "$sc" "$sum"
done
