#!/usr/bin/env bash
# Prints how much of the C++ code is test code: code lines (cloc: no blanks, no comments) of the
# sources and headers under the test folders, against those of the program itself. Benchmarks
# (bench/) count on neither side. Exits non-zero when the share passes LIMIT percent (default
# none), so a check can hold it.
#
# Usage: scripts/test-share.sh [LIMIT]
set -euo pipefail
cd "$(dirname "$0")/.."

test_dirs=(tests tools/reliability fuzz)
product_dirs=(core shell catalogue viewing panel browser about help packaging main.cpp tools)

code_lines() {
    # cloc's CSV sum row: files,language,blank,comment,code
    cloc --quiet --csv --include-lang='C++,C/C++ Header' "$@" |
        awk -F, '$2 == "SUM" { print $5; found = 1 } END { if (!found) print 0 }'
}

existing() { for d in "$@"; do [ -e "$d" ] && echo "$d"; done; }

mapfile -t tests < <(existing "${test_dirs[@]}")
mapfile -t product < <(existing "${product_dirs[@]}")
test_lines=$(code_lines "${tests[@]}")
product_lines=$(code_lines --exclude-dir=reliability "${product[@]}")
total=$((test_lines + product_lines))
share=$(awk -v t="$test_lines" -v all="$total" 'BEGIN { printf "%.1f", all ? 100 * t / all : 0 }')

printf 'product code  %6d lines (%s)\n' "$product_lines" "${product[*]}"
printf 'test code     %6d lines (%s)\n' "$test_lines" "${tests[*]}"
printf 'test share    %6s%% of both\n' "$share"

if [ -n "${1:-}" ] && awk -v s="$share" -v l="$1" 'BEGIN { exit !(s > l) }'; then
    echo "test-share: the tests are more than $1% of the code" >&2
    exit 1
fi
