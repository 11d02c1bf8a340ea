#!/usr/bin/env bash
# Speed benchmarks: the expression micro-benchmarks, then each BASIC workload in
# bench/programs/ timed in velmora, python3, yabasic and bwbasic (best of several runs,
# wall clock), printed as a table of seconds with the ratio velmora / other.
#
# Usage: bench/run-benchmarks.sh [build-dir] [workload...]
#   build-dir  where velmora was built (default: build)
#   workload   names from bench/programs/ (default: all of them)
# Environment: BENCH_RUNS (default 3) runs per program, the best one counts;
#   BENCH_TIMEOUT (default 600) seconds after which one run is stopped.
set -uo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
programs="$bench_dir/programs"
build=$(cd "${1:-build}" 2>/dev/null && pwd) || { echo "no build directory: ${1:-build}" >&2; exit 1; }
shift || true
workloads=("$@")
[ ${#workloads[@]} -eq 0 ] && workloads=(mandelbrot numeric_loop sieve strings calls)
runs=${BENCH_RUNS:-3}
limit=${BENCH_TIMEOUT:-600}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The interpreters, in table order. Velmora's programs are typed in, as at its prompt:
# the program text and then "run" go to its standard input.
names=(velmora python3 yabasic bwbasic)
declare -A command_of file_of
command_of[velmora]="$build/velmora"
command_of[python3]=$(command -v python3 >/dev/null && python3 -c 'import sys; print(sys.executable)')
command_of[yabasic]=$(command -v yabasic)
command_of[bwbasic]=$(command -v bwbasic)
file_of[velmora]="%s.bas"
file_of[python3]="%s.py"
file_of[yabasic]="%s.yab"
file_of[bwbasic]="%s_bwbasic.bas"

run_program() {
    local name=$1 file=$2 exe=${command_of[$1]}
    case $name in
        velmora) { cat "$file"; echo run; } | LC_ALL=C.UTF-8 timeout "$limit" "$exe" ;;
        *) timeout "$limit" "$exe" "$file" </dev/null ;;
    esac
}

version_of() {
    local exe=${command_of[$1]}
    case $1 in
        velmora) timeout 10 "$exe" --version </dev/null | head -1 ;;
        python3) "$exe" --version ;;
        yabasic) "$exe" --version 2>&1 | head -1 ;;
        bwbasic) dpkg-query -W -f='${Version}' bwbasic 2>/dev/null || echo unknown ;;
    esac
}

# "wall cpu" seconds of one run (bash's own clock; cpu = user + system); the
# program's output goes to $2.
time_once() {
    local TIMEFORMAT='%3R %3U %3S'
    { time run_program "$1" "$3" >"$2" 2>&1; } 2>&1 | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}

# The best wall-clock and the best CPU time of $runs runs, as "wall cpu".
best_time() {
    for ((r = 0; r < runs; r++)); do time_once "$1" "$2" "$3"; done |
        awk 'NR == 1 || $1 < w { w = $1 } NR == 1 || $2 < c { c = $2 } END { printf "%.3f %.3f\n", w, c }'
}

# The checksum lines of an output, without banners, prompts and surrounding blanks.
checksum() {
    tr -d '\r' <"$1" | grep -v -e '^Velmora BASIC V' -e '^OK$' -e '^Bywater BASIC' -e '^Copyright' |
        sed 's/^[[:space:]]*//; s/[[:space:]]*$//' | grep -v '^$' | paste -sd' '
}

if [ -x "$build/bench/velmora_bench" ]; then
    echo "== Micro-benchmarks (Google Benchmark): expressions, and loops of stored programs"
    "$build/bench/velmora_bench"
    echo
else
    echo "(no $build/bench/velmora_bench: Google Benchmark was not found when building)"
fi

available=()
for name in "${names[@]}"; do
    if [ -n "${command_of[$name]}" ] && [ -x "${command_of[$name]}" ]; then
        available+=("$name")
    else
        [ "$name" = velmora ] && echo "(skipped velmora: no $build/velmora)" || echo "(skipped $name: not installed; apt-get install $name)"
    fi
done

echo "== Interpreters"
for name in "${available[@]}"; do
    printf '%-8s %s (%s)\n' "$name" "${command_of[$name]}" "$(version_of "$name")"
done
echo

declare -A wall cpu sums
for w in "${workloads[@]}"; do
    echo "(timing $w)" >&2
    for name in "${available[@]}"; do
        file=$programs/$(printf "${file_of[$name]}" "$w")
        [ -f "$file" ] || continue
        out="$work/$w.$name.out"
        read -r wall[$w,$name] cpu[$w,$name] < <(cd "$work" && best_time "$name" "$out" "$file")
        sums[$w,$name]=$(checksum "$out")
    done
done

# One table of the seconds in the named array, with the ratios to velmora.
print_table() {
    local -n seconds=$1
    local header row v t
    header=$(printf '%-14s' workload)
    for name in "${available[@]}"; do
        header+=$(printf ' %9s' "$name")
        [ "$name" != velmora ] && header+=$(printf ' %8s' "v/${name:0:3}")
    done
    echo "$header"
    for w in "${workloads[@]}"; do
        row=$(printf '%-14s' "$w")
        v=${seconds[$w,velmora]:-}
        for name in "${available[@]}"; do
            t=${seconds[$w,$name]:--}
            row+=$(printf ' %9s' "$t")
            [ "$name" = velmora ] && continue
            row+=$(awk -v a="${v:-0}" -v b="$t" 'BEGIN { if (a > 0 && b > 0) printf " %7.2fx", a / b; else printf " %8s", "-" }')
        done
        echo "$row"
    done
}

echo "== Workloads: wall-clock seconds, best of $runs; ratio = velmora / other (above 1: velmora slower)"
print_table wall
echo
echo "== The same runs in CPU seconds (user + system), best of $runs: steadier on a busy machine"
print_table cpu
echo
echo "== Checksums (every interpreter should print the same numbers)"
for w in "${workloads[@]}"; do
    reference=${sums[$w,velmora]:-}
    line=$(printf '%-14s velmora: %s' "$w" "${reference:-(not run)}")
    for name in "${available[@]}"; do
        [ "$name" = velmora ] && continue
        [ -z "${sums[$w,$name]+set}" ] && continue
        if [ "${sums[$w,$name]}" = "$reference" ]; then
            line+="; $name same"
        else
            line+="; $name DIFFERS: ${sums[$w,$name]}"
        fi
    done
    echo "$line"
done
