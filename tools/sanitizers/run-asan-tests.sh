#!/usr/bin/env bash
# Runs the test suite of a sanitizer build (make test-asan): AddressSanitizer with leak
# detection and UndefinedBehaviorSanitizer, every report fatal. Only the suppressions in this
# folder apply; each says what it silences and why.
set -euo pipefail
build=${1:?usage: run-asan-tests.sh BUILD [JOBS]}
jobs=${2:-2}
here=$(cd "$(dirname "$0")" && pwd)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0:strict_string_checks=0:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="suppressions=$here/ubsan.supp:print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
# The excluded tests and the reason for each are in docs/RELIABILITY.md.
exclude=$(grep -v '^#' "$here/asan-excluded-tests" | tr '\n' '|' | sed 's/|$//')
cd "$build"
if [ -n "$exclude" ]; then
    ctest --output-on-failure -j "$jobs" -E "^($exclude)\$"
else
    ctest --output-on-failure -j "$jobs"
fi
