#!/usr/bin/env bash
# Runs each libFuzzer harness of BUILD/fuzz for SECONDS: first over the inputs kept in
# fuzz/regressions (inputs that once broke a property), then fuzzing from fuzz/seeds and the
# corpus it has grown in BUILD/fuzz-corpus. Prints executions and crashes per harness; a crash
# input is left in BUILD/fuzz-crashes, to be copied into fuzz/regressions/<harness>/ once fixed.
set -uo pipefail
build=${1:?usage: run-fuzzers.sh BUILD SECONDS}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/fuzz-crashes"
status=0
summary="| harness | seconds | executions | crashes | kept inputs replayed |"$'\n'"|---|---|---|---|---|"
# The longest input each harness takes: texts are short, pictures are not.
declare -A max_len=([search]=512 [paths]=512 [order]=512 [exif]=8192 [jpeg]=16384 [pnghead]=4096)
for harness in search paths order exif jpeg pnghead; do
    exe="$build/fuzz/fuzz_$harness"
    corpus="$build/fuzz-corpus/$harness"
    mkdir -p "$corpus"
    kept=()
    for f in "$here/regressions/$harness"/*; do
        [ "$(basename "$f")" = README ] || kept+=("$f")
    done
    crashes=0
    if [ ${#kept[@]} -gt 0 ]; then
        "$exe" "${kept[@]}" >"$build/fuzz-$harness-regressions.log" 2>&1 || crashes=$((crashes + 1))
    fi
    log="$build/fuzz-$harness.log"
    "$exe" "$corpus" "$here/seeds/$harness" -max_total_time="$seconds" -max_len="${max_len[$harness]}" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-crashes/$harness-" >"$log" 2>&1
    rc=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    if [ $rc -ne 0 ]; then
        crashes=$((crashes + 1))
        echo "fuzz_$harness failed; the end of $log:" >&2
        tail -30 "$log" >&2
    fi
    [ $crashes -ne 0 ] && status=1
    summary+=$'\n'"| fuzz_$harness | $seconds | ${runs:-?} | $crashes | ${#kept[@]} |"
done
echo "$summary"
exit $status
