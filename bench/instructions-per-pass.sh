#!/usr/bin/env bash
# Machine instructions per loop pass, counted by callgrind (hardware counters are not
# available everywhere, and instruction counts do not move with the machine's load):
# each loop is run with N and with 2N passes, and the difference over N is the cost of
# one pass with start-up, parsing and exit taken out. Velmora against lua5.4 and
# LuaJIT's interpreter (`luajit -joff`), then velmora's functions by their share of a pass.
#
# Usage: bench/instructions-per-pass.sh [build-dir]
#   build-dir  where velmora was built, a Release build (default: build)
# Environment:
#   PASS_SUM (default 100000)  N for the loop `s = s + k * k`, k = 1 to N
#   PASS_SIEVE (default 2)     N for the sieve workload: N rounds over its 100001 flags
#   PASS_TOP (default 8)       how many of velmora's functions to show for each loop
set -uo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
programs="$bench_dir/programs"
build=$(cd "${1:-build}" 2>/dev/null && pwd) || { echo "no build directory: ${1:-build}" >&2; exit 1; }
[ -x "$build/velmora" ] || { echo "no $build/velmora" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "no valgrind: apt-get install valgrind" >&2; exit 1; }
top=${PASS_TOP:-8}
declare -A passes=([sum]=${PASS_SUM:-100000} [sieve]=${PASS_SIEVE:-2})
loops=(sum sieve)

# The sieve's rounds are set by rewriting the round loop of the workload's programs.
grep -q '^60 for r = 1 to 120$' "$programs/sieve.bas" && grep -q '^ *for r = 1, 120 do$' "$programs/sieve.lua" ||
    { echo "the round loop of $programs/sieve.bas or sieve.lua is not where this script looks" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

names=(velmora)
declare -A command_of=([velmora]="$build/velmora")
for lua in lua5.4 luajit-i; do
    exe=$(command -v "${lua%-i}")
    if [ -n "$exe" ]; then
        names+=("$lua")
        command_of[$lua]=$exe
    else
        echo "(skipped $lua: not installed)"
    fi
done

# The Velmora program of loop $1 with $2 passes.
velmora_program() {
    case $1 in
        sum) printf '10 s = 0\n20 for k = 1 to %d\n30 s = s + k * k\n40 next k\n50 print s\n' "$2" ;;
        sieve) sed "s/^60 for r = 1 to 120\$/60 for r = 1 to $2/" "$programs/sieve.bas" ;;
    esac
}

# The Lua program of loop $1 with $2 passes.
lua_program() {
    case $1 in
        sum) printf 'local s = 0\nfor k = 1, %d do\n    s = s + k * k\nend\nprint(s)\n' "$2" ;;
        sieve) sed "s/^\\( *\\)for r = 1, 120 do\$/\\1for r = 1, $2 do/" "$programs/sieve.lua" ;;
    esac
}

# Runs loop $2 with $3 passes in interpreter $1 under callgrind; the profile goes to $4.
profile() {
    local name=$1 loop=$2 count=$3 out=$4 program
    local grind=(valgrind --tool=callgrind --callgrind-out-file="$out")
    case $name in
        velmora)
            program=$(velmora_program "$loop" "$count")
            printf '%s\nrun\n' "$program" | LC_ALL=C.UTF-8 "${grind[@]}" "${command_of[velmora]}" ;;
        lua5.4 | luajit-i)
            program="$work/$loop.$count.lua"
            lua_program "$loop" "$count" >"$program"
            grind+=("${command_of[$name]}")
            [ "$name" = luajit-i ] && grind+=(-joff)
            "${grind[@]}" "$program" </dev/null ;;
    esac >"$out.output" 2>"$out.log" || { echo "$name failed on $loop ($count passes):" >&2; cat "$out.log" >&2; exit 1; }
}

# The total instructions of a callgrind profile.
total_of() {
    awk '/^(summary|totals):/ { print $2; exit }' "$1"
}

# The instructions of each function of a profile (its own, not its callees'),
# as "count<TAB>function" lines, without file and object names; the parts of one
# function that callgrind lists under several source files are added together.
functions_of() {
    callgrind_annotate --threshold=100 --auto=no "$1" |
        awk '/^ *[0-9,]+ \( *[0-9.]+%\)  / && !/PROGRAM TOTALS/ {
                 n = $1; gsub(",", "", n)
                 sub(/^ *[0-9,]+ \( *[0-9.]+%\) +/, ""); sub(/ \[[^]]*\]$/, ""); sub(/^[^:]*:/, "")
                 gsub(/\(anonymous namespace\)::/, "")
                 count[$0] += n
             }
             END { for (f in count) print count[f] "\t" f }'
}

declare -A per_pass
for loop in "${loops[@]}"; do
    n=${passes[$loop]}
    for name in "${names[@]}"; do
        echo "(profiling $loop in $name)" >&2
        profile "$name" "$loop" "$n" "$work/$loop.$name.1"
        profile "$name" "$loop" $((2 * n)) "$work/$loop.$name.2"
        per_pass[$loop,$name]=$(awk -v a="$(total_of "$work/$loop.$name.1")" -v b="$(total_of "$work/$loop.$name.2")" -v n="$n" \
            'BEGIN { d = (b - a) / n; printf(d < 1000 ? "%.1f" : "%.0f", d) }')
    done
done

# The ratio a / b as " 1.23x", or " -" when either is missing.
ratio() {
    awk -v a="${1:-0}" -v b="${2:-0}" 'BEGIN { if (a > 0 && b > 0) printf " %7.2fx", a / b; else printf " %8s", "-" }'
}

echo "== Instructions per pass (callgrind): (instructions of 2N passes - of N) / N"
echo "   sum: one pass of s = s + k * k; sieve: one round of the sieve workload over 100001 flags"
row=$(printf '%-8s %7s' loop N)
for name in "${names[@]}"; do row+=$(printf ' %12s' "$name"); done
echo "$row$(printf ' %8s %8s' v/lua v/ljI)"
for loop in "${loops[@]}"; do
    row=$(printf '%-8s %7s' "$loop" "${passes[$loop]}")
    for name in "${names[@]}"; do row+=$(printf ' %12s' "${per_pass[$loop,$name]}"); done
    v=${per_pass[$loop,velmora]}
    echo "$row$(ratio "$v" "${per_pass[$loop,lua5.4]:-}")$(ratio "$v" "${per_pass[$loop,luajit-i]:-}")"
done

for loop in "${loops[@]}"; do
    echo
    echo "== velmora, $loop: instructions per pass by function (its own instructions), top $top"
    LC_ALL=C join -t $'\t' -1 2 -2 2 -a 2 -e 0 -o 0,1.1,2.1 \
        <(functions_of "$work/$loop.velmora.1" | LC_ALL=C sort -t $'\t' -k 2,2) \
        <(functions_of "$work/$loop.velmora.2" | LC_ALL=C sort -t $'\t' -k 2,2) |
        awk -F '\t' -v n="${passes[$loop]}" '{ d = ($3 - $2) / n; if (d >= 0.05) printf(d < 1000 ? "%12.1f  %s\n" : "%12.0f  %s\n", d, substr($1, 1, 100)) }' |
        sort -rn | head -n "$top"
done
