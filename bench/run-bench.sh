#!/usr/bin/env bash
# Runs every benchmark program of a build folder (default build/) and prints their tables.
# The thumbnail benchmark compares with vipsthumbnail; its package is installed here when
# missing, because only the benchmark needs it.
set -euo pipefail
build="${1:-build}"

if ! command -v vipsthumbnail >/dev/null 2>&1; then
    if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
    echo "Installing libvips-tools for the thumbnail benchmark"
    { "${sudo[@]}" apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends libvips-tools; } \
        >/dev/null || echo "libvips-tools could not be installed; its row will be empty"
fi

status=0
for program in "$build"/bench/bench_*; do
    [ -x "$program" ] || continue
    QT_QPA_PLATFORM=offscreen "$program" || status=1
done
exit $status
