#!/usr/bin/env bash
# Speed benchmarks: the Google Benchmark micro-benchmarks, then each BASIC workload in
# bench/programs/ timed in velmora, python3, yabasic, Lua 5.4 and LuaJIT's interpreter
# (`luajit -joff`) (best of several runs), printed as tables of wall-clock and CPU
# seconds with the ratios velmora / other, the peak memory of each run, and the
# start-up times.
#
# Usage: bench/run-benchmarks.sh [build-dir] [workload...]
#   build-dir  where velmora was built (default: build)
#   workload   names from bench/programs/ (default: all of them)
# Environment:
#   BENCH_RUNS (default 3)       runs per program; the best one counts
#   BENCH_TIMEOUT (default 600)  seconds after which one run is stopped
#   BENCH_BWBASIC=1              also time bwbasic (20 to 60 times slower than velmora: an hour)
#   BENCH_PYTHON                 the Python to compare with (default: python3 on PATH)
#   BENCH_STARTUP_RUNS (default 20)  runs of the start-up measure; the best one counts
set -uo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
programs="$bench_dir/programs"
build=$(cd "${1:-build}" 2>/dev/null && pwd) || { echo "no build directory: ${1:-build}" >&2; exit 1; }
shift || true
workloads=("$@")
[ ${#workloads[@]} -eq 0 ] && workloads=(mandelbrot numeric_loop sieve strings calls life words)
for w in "${workloads[@]}"; do
    [ -f "$programs/$w.bas" ] || { echo "no such workload: $w (see $programs)" >&2; exit 1; }
done
runs=${BENCH_RUNS:-3}
limit=${BENCH_TIMEOUT:-600}
startup_runs=${BENCH_STARTUP_RUNS:-20}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# GNU time reports the peak resident set size of the program it runs.
gnu_time=""
[ -x /usr/bin/time ] && /usr/bin/time -f %M -o /dev/null true 2>/dev/null && gnu_time=/usr/bin/time

# The interpreters, in table order. Velmora's programs are typed in, as at its prompt:
# the program text and then "run" go to its standard input. luajit-i is LuaJIT with its
# compiler off: the speed of its interpreter alone, against which a plain interpreter
# compares.
names=(velmora python3 yabasic lua5.4 luajit-i)
[ "${BENCH_BWBASIC:-0}" = 1 ] && names+=(bwbasic)
declare -A command_of flags_of file_of label_of package_of
command_of[velmora]="$build/velmora"
command_of[python3]=${BENCH_PYTHON:-$(command -v python3 >/dev/null && python3 -c 'import sys; print(sys.executable)')}
command_of[yabasic]=$(command -v yabasic)
command_of[lua5.4]=$(command -v lua5.4)
command_of[luajit-i]=$(command -v luajit)
command_of[bwbasic]=$(command -v bwbasic)
flags_of[luajit-i]=-joff
file_of[velmora]="%s.bas"
file_of[python3]="%s.py"
file_of[yabasic]="%s.yab"
file_of[lua5.4]="%s.lua"
file_of[luajit-i]="%s.lua"
file_of[bwbasic]="%s_bwbasic.bas"
label_of[python3]=v/pyt
label_of[yabasic]=v/yab
label_of[lua5.4]=v/lua
label_of[luajit-i]=v/ljI
label_of[bwbasic]=v/bwb
package_of[luajit-i]=luajit

# Runs program $2 in interpreter $1; with $3, GNU time writes the peak memory there.
run_program() {
    local name=$1 file=$2 memory=${3:-} exe=${command_of[$1]}
    local measure=() flags
    read -ra flags <<<"${flags_of[$name]:-}"
    [ -n "$memory" ] && [ -n "$gnu_time" ] && measure=("$gnu_time" -f %M -o "$memory")
    case $name in
        velmora) { cat "$file"; echo run; } | LC_ALL=C.UTF-8 timeout "$limit" "${measure[@]}" "$exe" ;;
        *) timeout "$limit" "${measure[@]}" "$exe" "${flags[@]}" "$file" </dev/null ;;
    esac
}

version_of() {
    local exe=${command_of[$1]}
    case $1 in
        velmora) timeout 10 "$exe" --version </dev/null | head -1 ;;
        python3) "$exe" --version ;;
        yabasic) "$exe" --version 2>&1 | head -1 ;;
        lua5.4 | luajit-i) "$exe" -v 2>&1 | head -1 | cut -d' ' -f1-2 ;;
        bwbasic) dpkg-query -W -f='${Version}' bwbasic 2>/dev/null || echo unknown ;;
    esac
}

# "wall cpu kilobytes" of one run (bash's own clock; cpu = user + system of the
# program and the little around it; kilobytes = peak memory, 0 without GNU time);
# the program's output goes to $2.
time_once() {
    local TIMEFORMAT='%3R %3U %3S' memory="$work/memory" times
    rm -f "$memory"
    times=$({ time run_program "$1" "$3" "$memory" >"$2" 2>&1; } 2>&1)
    awk -v kb="$(tail -n 1 "$memory" 2>/dev/null)" '{ printf "%.3f %.3f %d\n", $1, $2 + $3, kb + 0 }' <<<"$times"
}

# The best wall-clock and CPU times and the largest peak memory of $runs runs.
best_time() {
    for ((r = 0; r < runs; r++)); do time_once "$1" "$2" "$3"; done |
        awk 'NR == 1 || $1 < w { w = $1 } NR == 1 || $2 < c { c = $2 } $3 > m { m = $3 }
             END { printf "%.3f %.3f %d\n", w, c, m }'
}

# The checksum lines of an output, without banners, prompts and surrounding blanks.
checksum() {
    tr -d '\r' <"$1" | grep -v -e '^Velmora BASIC V' -e '^OK$' -e '^Bywater BASIC' -e '^Copyright' |
        sed 's/^[[:space:]]*//; s/[[:space:]]*$//' | grep -v '^$' | paste -sd' '
}

# Milliseconds of the fastest of $startup_runs runs of a command, by bash's microsecond clock.
startup_ms() {
    local best="" start end
    for ((r = 0; r < startup_runs; r++)); do
        start=$EPOCHREALTIME
        "$@" >/dev/null 2>&1 </dev/null
        end=$EPOCHREALTIME
        best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = (e - s) * 1000; if (b == "" || t < b) b = t; print b }')
    done
    printf '%.2f' "$best"
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
        [ "$name" = velmora ] && echo "(skipped velmora: no $build/velmora)" || echo "(skipped $name: not installed; apt-get install ${package_of[$name]:-$name})"
    fi
done
others=()
for name in "${available[@]}"; do [ "$name" != velmora ] && others+=("$name"); done

echo "== Interpreters"
for name in "${available[@]}"; do
    printf '%-8s %s (%s)\n' "$name" "${command_of[$name]}${flags_of[$name]:+ ${flags_of[$name]}}" "$(version_of "$name")"
done
echo "machine  $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo

declare -A wall cpu memory sums
for w in "${workloads[@]}"; do
    echo "(timing $w)" >&2
    for name in "${available[@]}"; do
        file=$programs/$(printf "${file_of[$name]}" "$w")
        [ -f "$file" ] || continue
        out="$work/$w.$name.out"
        read -r wall[$w,$name] cpu[$w,$name] memory[$w,$name] < <(cd "$work" && best_time "$name" "$out" "$file")
        sums[$w,$name]=$(checksum "$out")
    done
done

# The ratio a / b as " 1.23x", or " -" when either is missing.
ratio() {
    awk -v a="${1:-0}" -v b="${2:-0}" 'BEGIN { if (a > 0 && b > 0) printf " %7.2fx", a / b; else printf " %8s", "-" }'
}

# The smaller of the python3 and yabasic figures of a workload, if either was measured.
fastest_other() {
    local -n figures=$1
    local best="" name t
    for name in python3 yabasic; do
        t=${figures[$2,$name]:-}
        [ -z "$t" ] && continue
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
    done
    echo "$best"
}

# One table of the seconds in the named array: each interpreter's figure, then the
# ratios velmora / each other interpreter and velmora / the faster of python3 and yabasic.
# Below it, how many workloads meet the goals (ratio to the faster one at most 1 and 0.5).
print_table() {
    local -n seconds=$1
    local row v name within1=0 within_half=0 counted=0 fastest
    row=$(printf '%-14s' workload)
    for name in "${available[@]}"; do row+=$(printf ' %9s' "$name"); done
    for name in "${others[@]}"; do row+=$(printf ' %8s' "${label_of[$name]}"); done
    row+=$(printf ' %8s' "v/min")
    echo "$row"
    for w in "${workloads[@]}"; do
        row=$(printf '%-14s' "$w")
        v=${seconds[$w,velmora]:-}
        for name in "${available[@]}"; do row+=$(printf ' %9s' "${seconds[$w,$name]:--}"); done
        for name in "${others[@]}"; do row+=$(ratio "$v" "${seconds[$w,$name]:-}"); done
        fastest=$(fastest_other seconds "$w")
        row+=$(ratio "$v" "$fastest")
        echo "$row"
        if [ -n "$v" ] && [ -n "$fastest" ]; then
            counted=$((counted + 1))
            awk -v a="$v" -v b="$fastest" 'BEGIN { exit !(a <= b) }' && within1=$((within1 + 1))
            awk -v a="$v" -v b="$fastest" 'BEGIN { exit !(a <= b / 2) }' && within_half=$((within_half + 1))
        fi
    done
    [ "$counted" -gt 0 ] &&
        echo "v/min = velmora / min(python3, yabasic): at most 1.0 on $within1 of $counted workloads, at most 0.5 on $within_half"
}

# The engine's goal under a table of the seconds in the named array: how many
# workloads velmora runs in at most Lua 5.4's time.
print_lua_goal() {
    local -n seconds=$1
    local v lua within=0 counted=0
    for w in "${workloads[@]}"; do
        v=${seconds[$w,velmora]:-} lua=${seconds[$w,lua5.4]:-}
        [ -z "$v" ] || [ -z "$lua" ] && continue
        counted=$((counted + 1))
        awk -v a="$v" -v b="$lua" 'BEGIN { exit !(a <= b) }' && within=$((within + 1))
    done
    [ "$counted" -gt 0 ] &&
        echo "v/lua = velmora / lua5.4: at most 1.0 on $within of $counted workloads (the engine goal)"
}

echo "== Workloads: wall-clock seconds, best of $runs; ratio = velmora / other (above 1: velmora slower)"
print_table wall
echo
echo "== The same runs in CPU seconds (user + system), best of $runs: steadier on a busy machine"
print_table cpu
print_lua_goal cpu
echo

echo "== Peak memory (maximum resident set size) in MiB, largest of $runs runs; v/yab = velmora / yabasic"
if [ -n "$gnu_time" ]; then
    row=$(printf '%-14s' workload)
    for name in "${available[@]}"; do row+=$(printf ' %9s' "$name"); done
    echo "$row$(printf ' %8s' v/yab)"
    for w in "${workloads[@]}"; do
        row=$(printf '%-14s' "$w")
        for name in "${available[@]}"; do
            row+=$(awk -v kb="${memory[$w,$name]:-0}" 'BEGIN { if (kb > 0) printf " %9.1f", kb / 1024; else printf " %9s", "-" }')
        done
        echo "$row$(ratio "${memory[$w,velmora]:-}" "${memory[$w,yabasic]:-}")"
    done
else
    echo "(no GNU time: apt-get install time)"
fi
echo

# One line of the start-up table: what was run, its best time, its peak memory.
startup_row() {
    local label=$1 kb="-"
    shift
    if [ -n "$gnu_time" ]; then
        "$gnu_time" -f %M -o "$work/memory" "$@" >/dev/null 2>&1 </dev/null
        kb=$(awk '{ kb = $1 } END { printf "%.1f", kb / 1024 }' "$work/memory")
    fi
    printf '%-30s %8s %8s\n' "$label" "$(startup_ms "$@")" "$kb"
}

echo "== Start-up: milliseconds of the fastest of $startup_runs runs (wall clock), and peak memory"
printf '%-30s %8s %8s\n' command ms MiB
[ -x "${command_of[velmora]}" ] && startup_row "velmora 1+1" "${command_of[velmora]}" 1+1
echo 'end' >"$work/empty.yab"
for name in "${others[@]}"; do
    case $name in
        python3) startup_row "python3 -c pass" "${command_of[python3]}" -c pass ;;
        yabasic) startup_row "yabasic (a program of one end)" "${command_of[yabasic]}" "$work/empty.yab" ;;
        lua5.4) startup_row "lua5.4 -e ''" "${command_of[lua5.4]}" -e '' ;;
        luajit-i) startup_row "luajit -joff -e ''" "${command_of[luajit-i]}" -joff -e '' ;;
    esac
done
startup_row "/bin/true (starting a process)" /bin/true
echo

echo "== Checksums (every interpreter should print the same numbers)"
for w in "${workloads[@]}"; do
    reference=${sums[$w,velmora]:-}
    line=$(printf '%-14s velmora: %s' "$w" "${reference:-(not run)}")
    for name in "${others[@]}"; do
        [ -z "${sums[$w,$name]+set}" ] && continue
        if [ "${sums[$w,$name]}" = "$reference" ]; then
            line+="; $name same"
        else
            line+="; $name DIFFERS: ${sums[$w,$name]}"
        fi
    done
    echo "$line"
done
